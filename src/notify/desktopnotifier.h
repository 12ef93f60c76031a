#pragma once
// A notification on the desktop, outside the program's windows.
#include <QString>

namespace velmara {

class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    // Hands the notification on without waiting for the desktop; false when no
    // desktop service is reachable.
    virtual bool notify(const QString& title, const QString& body) = 0;
};

} // namespace velmara
