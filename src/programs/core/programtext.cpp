#include "programs/core/programtext.h"

#include "programs/core/programeditormodel.h"
#include "programs/core/programoptions.h"

#include <cmath>

namespace velmara {

namespace {

QString digits(qint64 value, int width) {
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

// A value in V, A or Ah as thousandths, rounded half away from zero.
qint64 thousandths(double value) {
    return std::llround(value * 1000.0);
}

// A value that does not fit its field travels as 0.
qint64 fitted(qint64 value, int width) {
    qint64 limit = 1;
    for (int i = 0; i < width; ++i)
        limit *= 10;
    return value >= 0 && value < limit ? value : 0;
}

QString field(char tag, qint64 value, int width) {
    return QStringLiteral(",") + QLatin1Char(tag) + digits(fitted(value, width), width);
}

QString flag(const char* tag, bool one) {
    return QStringLiteral(",") + QLatin1String(tag) + (one ? QLatin1Char('1') : QLatin1Char('0'));
}

} // namespace

QString buildProgramString(const ProgramEditorModel& model, const QString& channel,
                           const ProgramOptions& options) {
    const BatteryDefinition def = model.batteryDefinition();
    const QLocale& locale = model.locale();
    QString s = channel + QStringLiteral(",P");

    int type = 0;
    if (def == BatteryDefinition::PresetVoltages)
        type = 5;
    else if (model.batteryTypeNumber() >= 0)
        type = model.batteryTypeNumber();
    s += field('A', type, 2);
    s += field('M', qMax(0, model.deviceModeNumber()), 2);

    bool cellsOk = false;
    const int cells = model.cellCountText().trimmed().toInt(&cellsOk);
    s += field('Z', cellsOk ? cells : 6, 2);

    if (model.targetCapacity())
        s += field('P', qint64(model.value(Box::Percent)), 3);
    s += field('F', model.cycleCode(), 1);
    s += model.text(Box::Period).trimmed().isEmpty()
             ? QStringLiteral(",W30")
             : field('W', qint64(model.sentValue(Box::Period)), 2);
    if (model.targetCapacity())
        s += field('K', thousandths(model.value(Box::Capacity)), 5);

    const qint64 charge = fitted(thousandths(model.sentValue(Box::ChargeCurrent)), 5);
    s += field('L', charge != 0 ? charge : options.defaultChargeCurrent, 5);
    const qint64 discharge = fitted(thousandths(model.sentValue(Box::DischargeCurrent)), 5);
    s += field('E', discharge != 0 ? discharge : options.defaultDischargeCurrent, 5);

    qint64 voltage = 0;
    if (def == BatteryDefinition::BatteryType) {
        const QString nominal = model.nominalVoltageText();
        bool ok = false;
        const float volts =
            locale.toFloat(nominal.chopped(qMin<qsizetype>(2, nominal.size())), &ok);
        if (ok)
            voltage = std::llround(volts * 1000.0f);
    } else if (def == BatteryDefinition::PresetVoltages) {
        voltage = thousandths(model.sentValue(Box::ChargeEndVoltage));
    }
    s += field('V', voltage, 5);
    const qint64 dischargeEnd = fitted(thousandths(model.sentValue(Box::DischargeEndVoltage)), 5);
    s += field('D', dischargeEnd != 0 ? dischargeEnd : options.defaultDischargeEndVoltage, 5);

    if (model.selfDischargeActive())
        s += (model.selfDischargeHours() ? QStringLiteral(",YH") : QStringLiteral(",YD")) +
             digits(fitted(qint64(model.value(Box::SelfDischarge)), 3), 3);

    if (options.extensionAvailable) {
        const ProgramRecord& p = model.program();
        s += flag("S", !p.programmingLocked);
        s += flag("C", p.withoutLoad);
        s += flag("B", p.leadAcidMode != 0);
        s += flag("H", p.lithiumIonMode != 0);
        s += field('N', p.endOfCharge, 3);
        if (options.extensionWithSwitches) {
            s += flag("O", p.chargeMode == 1);
            s += flag("Q", p.qMode == 1);
            s += flag("U", p.uMode == 1);
        }
    }
    return s;
}

bool echoMatches(const QString& sent, const QString& answer, bool extensionAvailable) {
    QString rest = answer;
    const bool blank = answer.trimmed().isEmpty();
    const qsizetype n = answer.size();
    if (extensionAvailable && !blank && n >= 6 && answer.at(n - 6) == QLatin1Char('G'))
        rest.chop(7);
    else if (!blank && n >= 3 && answer.at(n - 3) == QLatin1Char('G'))
        rest.chop(4);
    return rest == sent;
}

} // namespace velmara
