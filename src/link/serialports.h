#pragma once
// The serial ports this machine has, as the port dialogs offer them, and why a
// port could not be opened, in words a user can act on.
#include <QList>
#include <QString>

#include <functional>

namespace velmara {

struct AvailablePort {
    QString path;         // /dev/ttyUSB0
    QString byIdPath;     // /dev/serial/by-id/usb-...; empty when the port has none
    QString manufacturer; // of the USB adapter, when known
    QString description;
    // The path a user should keep: the by-id name survives replugging.
    QString preferredPath() const { return byIdPath.isEmpty() ? path : byIdPath; }
    // One line for a list: path, then what the system knows of the adapter.
    QString label() const;
};

using PortLister = std::function<QList<AvailablePort>()>;

// USB adapters (ttyUSB*, ttyACM*) and built-in ports (ttyS*) that the system
// reports, with their /dev/serial/by-id names; sorted by path.
QList<AvailablePort> systemSerialPorts();

enum class PortProblem { Missing, NoPermission, Busy };

struct PortAccess {
    std::function<bool(const QString& path)> exists;
    std::function<bool(const QString& path)>
        readWrite; // may this user open it for reading and writing
};
PortAccess systemPortAccess();

// Why the device at path did not open: it is not there, the user may not use
// it, or another program holds it (or it failed for another reason).
PortProblem diagnosePort(const QString& path, const PortAccess& access = systemPortAccess());
// The text key that tells the user what to do about it.
QString portProblemKey(PortProblem problem);

} // namespace velmara
