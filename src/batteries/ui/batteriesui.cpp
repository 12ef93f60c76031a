#include "batteries/ui/batteriesui.h"

#include "base/widgets/modal.h"
#include "base/widgets/placewindow.h"
#include "batteries/ui/capturedialog.h"
#include "batteries/ui/storedserieswindow.h"

namespace velmara {

void openCaptureDialog(CaptureChannel& channel, std::shared_ptr<BatteryUsage> usage,
                       std::shared_ptr<const BatteriesContext> context, QWidget* parent) {
    if (!context || !context->stores || !context->prompter || !usage)
        return;
    Prompter& prompter = *context->prompter;
    CaptureDialog dialog(std::move(context), std::move(usage), &channel, parent);
    if (dialog.initializeDialog())
        execModal(prompter, &dialog);
}

QDialog* openManagementDialog(std::shared_ptr<BatteryUsage> usage,
                              std::shared_ptr<const BatteriesContext> context, QWidget* parent) {
    if (!context || !context->stores || !usage)
        return nullptr;
    auto* dialog = new CaptureDialog(std::move(context), std::move(usage), nullptr, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
    dialog->initializeDialog();
    placeWindow(dialog, parent);
    dialog->show();
    return dialog;
}

StoredSeriesWindow* openStoredSeriesWindow(const StoredSeriesSource& source,
                                           std::shared_ptr<const BatteriesContext> context,
                                           QWidget* owner) {
    if (!context)
        return nullptr;
    auto* window = new StoredSeriesWindow(source, std::move(context), owner);
    window->reload();
    placeWindow(window, owner);
    window->show();
    return window;
}

} // namespace velmara
