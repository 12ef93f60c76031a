#include "programs/core/programoptions.h"

#include "link/fieldtext.h"

namespace velmara {

namespace {

void readNumber(const SettingLookup& setting, const char* key, qint32* target) {
    bool ok = false;
    const qint32 v = setting(QLatin1String(key)).trimmed().toInt(&ok);
    if (ok && v >= 0)
        *target = v;
}

} // namespace

ProgramOptions loadProgramOptions(const SettingLookup& setting) {
    ProgramOptions o;
    readNumber(setting, "DefaultLadestrom", &o.defaultChargeCurrent);
    readNumber(setting, "DefaultEntladestrom", &o.defaultDischargeCurrent);
    readNumber(setting, "DefaultEntladeschlussSpannung", &o.defaultDischargeEndVoltage);
    o.extensionAvailable =
        setting(QStringLiteral("ProgramExtensionAvaiable")).trimmed() == QLatin1String("YES");
    o.extensionWithSwitches =
        setting(QStringLiteral("ProgramExtensionType")).trimmed() == QLatin1String("2");
    o.sendAllVisible = setting(QStringLiteral("SendAllVisible")) == QLatin1String("YES");
    o.defaultEndOfCharge =
        fieldtext::digitsToInt16(setting(QStringLiteral("DefaultLadeende")).trimmed()).value_or(0);
    return o;
}

} // namespace velmara
