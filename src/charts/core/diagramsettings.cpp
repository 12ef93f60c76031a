#include "charts/core/diagramsettings.h"

#include "link/fieldtext.h"

namespace velmara {

namespace {
bool isYes(const SettingsAccess& settings, const QString& key) {
    return settings.get && settings.get(key) == QLatin1String("YES");
}
void put(const SettingsAccess& settings, const QString& key, bool on) {
    if (settings.set)
        settings.set(key, on ? QStringLiteral("YES") : QStringLiteral("NO"));
}
} // namespace

DiagramSwitches readDiagramSwitches(const SettingsAccess& settings) {
    DiagramSwitches s;
    s.minMaxVoltage = isYes(settings, settingkeys::MinMaxSpannungVisible);
    s.minMaxCurrent = isYes(settings, settingkeys::MinMaxStromVisible);
    s.minMaxCapacity = isYes(settings, settingkeys::MinMaxKapazitaetVisible);
    s.xGrid = isYes(settings, settingkeys::xGridVisible);
    s.yGrid = isYes(settings, settingkeys::yGridVisible);
    return s;
}

void writeDiagramSwitches(const SettingsAccess& settings, const DiagramSwitches& switches) {
    put(settings, settingkeys::MinMaxSpannungVisible, switches.minMaxVoltage);
    put(settings, settingkeys::MinMaxStromVisible, switches.minMaxCurrent);
    put(settings, settingkeys::MinMaxKapazitaetVisible, switches.minMaxCapacity);
    put(settings, settingkeys::xGridVisible, switches.xGrid);
    put(settings, settingkeys::yGridVisible, switches.yGrid);
}

bool printingEnabled(const QString& printingLook) {
    return fieldtext::trimSpaces(printingLook) == QLatin1String("1");
}

} // namespace velmara
