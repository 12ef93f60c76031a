#pragma once
// The one way the program runs a modal dialog. Tests install a handler that
// answers the dialog (fills its controls, accepts or rejects) instead of
// running a nested event loop; a dialog nobody scripted fails the test.
#include <QDialog>

#include <functional>

namespace velmara {

using ModalHandler = std::function<int(QDialog*)>;

// Runs the dialog modally (QDialog::exec, or the installed handler) and returns
// QDialog::Accepted or QDialog::Rejected.
int execModal(QDialog* dialog);

// Installs a handler and returns the previous one (empty: real exec()).
ModalHandler setModalHandler(ModalHandler handler);

// Installs the message service that shows real message boxes.
void installWidgetMessageService();

} // namespace velmara
