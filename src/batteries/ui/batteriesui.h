#pragma once
// How the rest of the program opens the battery and series windows.
#include "batteries/ui/batteriescontext.h"

#include <memory>

class QDialog;
class QWidget;

namespace velmara {

class BatteryUsage;
class CaptureChannel;
class StoredSeriesWindow;

// The capture dialog of a channel (the channel window's "Messwerte" button):
// modal, owned by parent. Returns when the dialog is closed, at once when the
// user keeps a queued recording.
void openCaptureDialog(CaptureChannel& channel, std::shared_ptr<BatteryUsage> usage,
                       std::shared_ptr<const BatteriesContext> context, QWidget* parent);

// The management dialog (menu "Messwerte verwalten"): not modal, owned by parent,
// deleted when closed. Null when the user file is not open.
QDialog* openManagementDialog(std::shared_ptr<BatteryUsage> usage,
                              std::shared_ptr<const BatteriesContext> context, QWidget* parent);

// One stored series in its own window, not modal, deleted when closed.
StoredSeriesWindow* openStoredSeriesWindow(const StoredSeriesSource& source,
                                           std::shared_ptr<const BatteriesContext> context,
                                           QWidget* owner);

} // namespace velmara
