#pragma once
// The one way the program runs a modal dialog. Tests install a handler on the
// prompter that answers the dialog (fills its controls, accepts or rejects)
// instead of running a nested event loop; a dialog nobody scripted fails the test.
#include "base/core/messages.h"

#include <QDialog>

namespace velmara {

// Runs the dialog modally (QDialog::exec, or the prompter's handler) and returns
// QDialog::Accepted or QDialog::Rejected.
int execModal(Prompter& prompter, QDialog* dialog);

// Installs the message service that shows real message boxes and notices.
void installWidgetMessageService(Prompter& prompter);

} // namespace velmara
