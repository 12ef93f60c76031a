#pragma once
// A notification on the desktop, outside the program's windows.
#include <QString>

namespace velmara {

class DesktopNotifier {
public:
    // Critical notifications (faults) stay until the user closes them.
    enum class Urgency { Normal, Critical };

    virtual ~DesktopNotifier() = default;
    // Hands the notification on without waiting for the desktop; false when no
    // desktop service is reachable.
    virtual bool notify(const QString& title, const QString& body,
                        Urgency urgency = Urgency::Normal) = 0;
    // Whether a notification service answers on this desktop.
    virtual bool available() { return true; }
};

} // namespace velmara
