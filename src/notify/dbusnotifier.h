#pragma once
// Notifications through the desktop's notification service on the session bus
// (org.freedesktop.Notifications).
#include "notify/desktopnotifier.h"

#include <QDBusMessage>

namespace velmara {

class DBusNotifier : public DesktopNotifier {
public:
    // False when there is no session bus or no notification service on it
    // (neither running nor started on demand).
    bool available() override;
    bool notify(const QString& title, const QString& body, Urgency urgency) override;
};

// The Notify call for one notification; its hints carry the urgency (byte 1
// normal, 2 critical).
QDBusMessage notificationCall(const QString& title, const QString& body,
                              DesktopNotifier::Urgency urgency);

} // namespace velmara
