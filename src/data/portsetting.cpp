#include "data/portsetting.h"

#include "data/settingsstore.h"

namespace velmara {

int comPortNumber(const QString& setting) {
    bool ok = false;
    const int n = setting.trimmed().toInt(&ok);
    return ok && n >= 1 && n <= comPortCount ? n : 0;
}

QString comDeviceKey(int port) {
    return QStringLiteral("ComDevice%1").arg(port);
}

PortChoice configuredPort(SettingsStore& settings) {
    PortChoice choice;
    choice.number = comPortNumber(settings.getSetting(QLatin1String(kComPortKey)));
    if (choice.number > 0)
        choice.devicePath = settings.getSetting(comDeviceKey(choice.number)).trimmed();
    return choice;
}

} // namespace velmara
