#pragma once
// Notifications through the desktop's notification service on the session bus
// (org.freedesktop.Notifications).
#include "notify/desktopnotifier.h"

namespace velmara {

class DBusNotifier : public DesktopNotifier {
public:
    // False when there is no session bus or no notification service on it.
    static bool available();
    bool notify(const QString& title, const QString& body) override;
};

} // namespace velmara
