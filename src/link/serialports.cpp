#include "link/serialports.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <unistd.h>

#include <algorithm>

namespace velmara {

QString AvailablePort::label() const {
    QString text = preferredPath();
    QStringList about;
    if (!manufacturer.isEmpty())
        about << manufacturer;
    if (!description.isEmpty() && description != manufacturer)
        about << description;
    if (!byIdPath.isEmpty())
        about << path;
    if (!about.isEmpty())
        text += QStringLiteral(" (") + about.join(QStringLiteral(", ")) + QLatin1Char(')');
    return text;
}

namespace {

bool isChargerPortName(const QString& name) {
    return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM")) ||
           name.startsWith(QLatin1String("ttyS"));
}

} // namespace

QList<AvailablePort> systemSerialPorts() {
    // The by-id names point at the devices they stand for.
    QHash<QString, QString> byId;
    const QDir idDir(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link :
         idDir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        byId.insert(link.canonicalFilePath(), link.absoluteFilePath());

    QList<AvailablePort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (!isChargerPortName(info.portName()))
            continue;
        AvailablePort port;
        port.path = info.systemLocation();
        port.byIdPath = byId.value(QFileInfo(port.path).canonicalFilePath());
        port.manufacturer = info.manufacturer();
        port.description = info.description();
        ports << port;
    }
    std::sort(ports.begin(), ports.end(),
              [](const AvailablePort& a, const AvailablePort& b) { return a.path < b.path; });
    return ports;
}

PortAccess systemPortAccess() {
    return {[](const QString& path) { return QFileInfo::exists(path); },
            [](const QString& path) {
                return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
            }};
}

PortProblem diagnosePort(const QString& path, const PortAccess& access) {
    if (path.trimmed().isEmpty() || !access.exists(path))
        return PortProblem::Missing;
    if (!access.readWrite(path))
        return PortProblem::NoPermission;
    return PortProblem::Busy;
}

QString portProblemKey(PortProblem problem) {
    switch (problem) {
    case PortProblem::Missing:
        return QStringLiteral("1126");
    case PortProblem::NoPermission:
        return QStringLiteral("1128");
    case PortProblem::Busy:
        return QStringLiteral("1130");
    }
    return QStringLiteral("1130");
}

} // namespace velmara
