#pragma once
// The OK and Cancel buttons of a dialog (objectNames cmdOK and cmdCancel, the
// given captions), connected to accept and reject.
#include <QString>

class QDialog;
class QDialogButtonBox;

namespace velmara {

QDialogButtonBox* okCancelButtons(QDialog* dialog, const QString& ok, const QString& cancel);

} // namespace velmara
