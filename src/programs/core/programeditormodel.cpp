#include "programs/core/programeditormodel.h"

#include <cmath>

namespace velmara {

namespace {

struct BoxInfo {
    const char* name;
    const char* limitKey; // "" for the self-discharge box: its row follows the unit
    const char *keyA, *keyB, *keyC;
    bool decimal;
};

// The order follows enum Box.
constexpr BoxInfo kBoxes[BoxCount] = {
    {"txtLadeschlussSpannung", "05", "0954", "0955", "0956", true},
    {"txtEntladeschlussSpannung", "05", "0957", "0955", "0956", true},
    {"txtLadestrom", "L", "0959", "0964", "0965", true},
    {"txtEntladestrom", "E", "0961", "0964", "0965", true},
    {"txtKapazitaetAh", "K", "0958", "0966", "0967", true},
    {"txtKapazitaetProzent", "P", "0960", "0970", "0971", false},
    {"txtZeitraum", "W", "0962", "0968", "0969", false},
    {"txtSelbstentladungsZeitraum", "", "0963", "0970", "0971", false},
};

// The rates of the rate lists and how many decimals each shows.
struct Rate {
    double value;
    int decimals;
};
constexpr Rate kRates[] = {{0.1, 2},  {0.25, 2}, {0.33, 2}, {0.5, 2},
                           {0.75, 2}, {1, 0},    {2, 0},    {3, 0}};

CheckResult message(const char* key, const char* focus) {
    EditorMessage m;
    m.key = QLatin1String(key);
    m.focus = QLatin1String(focus);
    return m;
}

QLocale withoutGrouping(QLocale locale) {
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

QString boxName(Box box) {
    return QLatin1String(kBoxes[int(box)].name);
}

bool isDecimalBox(Box box) {
    return kBoxes[int(box)].decimal;
}

ProgramEditorModel::ProgramEditorModel(const ProgramReference& reference, QLocale locale)
    : m_ref(reference), m_locale(withoutGrouping(locale)) {
    if (!m_ref.formingModes.isEmpty())
        m_cycleCode = m_ref.formingModes.first().sendCode;
}

QString ProgramEditorModel::threeDecimals(double v) const {
    double rounded = std::round(v * 1000.0) / 1000.0;
    if (rounded == 0.0)
        rounded = 0.0;
    return m_locale.toString(rounded, 'f', 3);
}

// --- record ---

void ProgramEditorModel::initFromProgram() {
    const ProgramRecord& p = m_program;
    for (Box b : {Box::ChargeEndVoltage, Box::DischargeEndVoltage, Box::Capacity,
                  Box::ChargeCurrent, Box::DischargeCurrent})
        m_text[int(b)] = threeDecimals(0);
    m_chargeRate = m_dischargeRate = -1;
    if (p.batteryType == ProgramRecord::BadAnswer || p.batteryType == ProgramRecord::NoAnswer ||
        p.batteryType == ProgramRecord::ChannelFault)
        return;

    if (p.batteryType != 5) {
        m_definition = BatteryDefinition::BatteryType;
        applyBatteryType(p.batteryType);
        m_cellCount = QString::number(p.cellCount);
        setNominalFromCells();
    } else {
        m_definition = BatteryDefinition::PresetVoltages;
        // The cell count of a program shown before must not travel with this one.
        m_cellCount.clear();
        m_nominalVoltage.clear();
        m_text[int(Box::ChargeEndVoltage)] = threeDecimals(p.chargeEndVoltageMv / 1000.0);
        m_text[int(Box::DischargeEndVoltage)] = threeDecimals(p.dischargeEndVoltageMv / 1000.0);
    }

    applyDeviceMode(p.deviceMode);
    m_cycleCode = p.formingCycles;
    m_text[int(Box::ChargeCurrent)] = threeDecimals(p.chargeCurrentMa / 1000.0);
    m_text[int(Box::DischargeCurrent)] = threeDecimals(p.dischargeCurrentMa / 1000.0);
    if (p.repeatCount != 0)
        m_text[int(Box::Period)] = QString::number(p.repeatCount);

    m_targetCapacity = p.capacityMah != ProgramRecord::Absent;
    if (m_targetCapacity) {
        m_text[int(Box::Percent)] =
            p.percentValue >= 0 ? QString::number(p.percentValue) : QString();
        m_text[int(Box::Capacity)] = threeDecimals(p.capacityMah / 1000.0);
    }

    m_selfDischarge = p.selfDischargeInterval != ProgramRecord::Absent;
    if (m_selfDischarge) {
        m_hours = p.selfDischargeIntervalUnit == 2;
        m_text[int(Box::SelfDischarge)] = QString::number(p.selfDischargeInterval);
    }
}

void ProgramEditorModel::setExtendedFields(const ProgramRecord& from) {
    m_program.chargeMode = from.chargeMode;
    m_program.endOfCharge = from.endOfCharge;
    m_program.lithiumIonMode = from.lithiumIonMode;
    m_program.leadAcidMode = from.leadAcidMode;
    m_program.withoutLoad = from.withoutLoad;
    m_program.programmingLocked = from.programmingLocked;
    m_program.qMode = from.qMode;
    m_program.uMode = from.uMode;
}

// --- battery definition ---

void ProgramEditorModel::chooseBatteryDefinition(BatteryDefinition d) {
    clearProgramSelection();
    m_definition = d;
}

void ProgramEditorModel::chooseBatteryType(int number) {
    clearProgramSelection();
    applyBatteryType(number);
}

void ProgramEditorModel::applyBatteryType(int number) {
    m_cellCount.clear();
    m_nominalVoltage.clear();
    m_typeNumber = m_ref.batteryType(number) ? number : -1;
}

double ProgramEditorModel::cellVoltageOfType() const {
    const BatteryType* t = m_ref.batteryType(m_typeNumber);
    return t ? t->cellVoltage : 0.0;
}

QStringList ProgramEditorModel::cellCountList() const {
    QStringList out;
    if (const BatteryType* t = m_ref.batteryType(m_typeNumber))
        for (int z = t->minCells; z <= t->maxCells; ++z)
            out << QString::number(z);
    return out;
}

namespace {

// Cells times volts per cell in single precision, to three decimals, without
// trailing zeros: "7,2 V".
QString nominalVoltageOf(int cells, double cellVoltage, const QLocale& locale) {
    const float product = float(cells) * float(cellVoltage);
    const double rounded = std::round(double(product) * 1000.0) / 1000.0;
    return locale.toString(rounded, 'g', QLocale::FloatingPointShortest) + QStringLiteral(" V");
}

} // namespace

QStringList ProgramEditorModel::nominalVoltageList() const {
    QStringList out;
    if (const BatteryType* t = m_ref.batteryType(m_typeNumber))
        for (int z = t->minCells; z <= t->maxCells; ++z)
            out << nominalVoltageOf(z, t->cellVoltage, m_locale);
    return out;
}

void ProgramEditorModel::setNominalFromCells() {
    bool ok = false;
    const int cells = m_cellCount.trimmed().toInt(&ok);
    if (!ok || m_typeNumber < 0)
        return;
    const QString v = nominalVoltageOf(cells, cellVoltageOfType(), m_locale);
    if (v != m_nominalVoltage)
        m_nominalVoltage = v;
}

void ProgramEditorModel::pickCellCount(const QString& text) {
    clearProgramSelection();
    m_cellCount = text;
    setNominalFromCells();
}

void ProgramEditorModel::pickNominalVoltage(const QString& text) {
    clearProgramSelection();
    m_nominalVoltage = text;
    const double perCell = cellVoltageOfType();
    bool ok = false;
    const double volts = m_locale.toDouble(text.chopped(qMin<qsizetype>(2, text.size())), &ok);
    if (!ok || perCell <= 0)
        return;
    // Halves go to the even number.
    const QString cells = QString::number(qint64(std::nearbyint(volts / perCell)));
    if (cells != m_cellCount)
        m_cellCount = cells;
}

// --- device mode ---

void ProgramEditorModel::chooseDeviceMode(int number) {
    clearProgramSelection();
    applyDeviceMode(number);
}

void ProgramEditorModel::applyDeviceMode(int number) {
    m_modeNumber = number;
    m_mode = m_ref.deviceMode(number);
    // A mode the table does not know asks for both end voltages.
    m_chargeEndNeeded = m_mode ? m_mode->chargeEndVoltage : true;
    m_dischargeEndNeeded = m_mode ? m_mode->dischargeEndVoltage : true;
}

// --- boxes ---

void ProgramEditorModel::setText(Box box, const QString& text) {
    m_text[int(box)] = text;
    if (box == Box::ChargeCurrent)
        m_chargeRate = -1;
    else if (box == Box::DischargeCurrent)
        m_dischargeRate = -1;
}

double ProgramEditorModel::value(Box box) const {
    const QString t = m_text[int(box)].trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    if (isDecimalBox(box)) {
        const double v = m_locale.toDouble(t, &ok);
        return ok && std::isfinite(v) ? v : 0;
    }
    const int v = t.toInt(&ok);
    return ok ? v : 0;
}

QString ProgramEditorModel::limitRowKey(Box box) const {
    if (box == Box::SelfDischarge)
        return m_hours ? QStringLiteral("YH") : QStringLiteral("YD");
    return QLatin1String(kBoxes[int(box)].limitKey);
}

CheckResult ProgramEditorModel::limitCheck(Box box) const {
    const double v = value(box);
    if (v == 0)
        return std::nullopt;
    const LimitRow* row = m_ref.limit(limitRowKey(box));
    if (!row)
        return std::nullopt;
    // The bounds are single-precision numbers in the limits table.
    const float fv = float(v);
    if (fv >= float(row->min) && fv <= float(row->max))
        return std::nullopt;
    const BoxInfo& info = kBoxes[int(box)];
    EditorMessage m;
    m.focus = QLatin1String(info.name);
    m.keyA = QLatin1String(info.keyA);
    m.keyB = QLatin1String(info.keyB);
    m.keyC = QLatin1String(info.keyC);
    m.min = row->min;
    m.max = row->max;
    return m;
}

CheckResult ProgramEditorModel::leaveBox(Box box) {
    QString& t = m_text[int(box)];
    if (t.trimmed().isEmpty())
        return std::nullopt;
    CheckResult result = limitCheck(box);
    if (isDecimalBox(box)) {
        bool ok = false;
        const double v = m_locale.toDouble(t.trimmed(), &ok);
        if (ok && std::isfinite(v))
            t = threeDecimals(v);
    }
    return result;
}

// --- rates ---

QStringList ProgramEditorModel::rateList() const {
    QStringList out;
    for (const Rate& r : kRates)
        out << m_locale.toString(r.value, 'f', r.decimals) + QStringLiteral(" C");
    return out;
}

namespace {

bool rateCurrent(int index, double capacity, double* current) {
    if (index < 0 || index >= int(std::size(kRates)) || capacity == 0)
        return false;
    *current = double(float(kRates[index].value) * float(capacity));
    return true;
}

} // namespace

void ProgramEditorModel::chooseChargeRate(int index) {
    clearProgramSelection();
    double current = 0;
    m_chargeRate = index;
    if (rateCurrent(index, value(Box::Capacity), &current))
        m_text[int(Box::ChargeCurrent)] = threeDecimals(current);
}

void ProgramEditorModel::chooseDischargeRate(int index) {
    clearProgramSelection();
    double current = 0;
    m_dischargeRate = index;
    if (rateCurrent(index, value(Box::Capacity), &current))
        m_text[int(Box::DischargeCurrent)] = threeDecimals(current);
}

// --- check boxes ---

void ProgramEditorModel::setSelfDischarge(bool on) {
    m_selfDischarge = on;
    if (on)
        m_hours = false;
}

void ProgramEditorModel::chooseCycleCode(int sendCode) {
    clearProgramSelection();
    m_cycleCode = sendCode;
}

void ProgramEditorModel::chooseSelfDischargeHours(bool hours) {
    clearProgramSelection();
    m_hours = hours;
}

bool ProgramEditorModel::selfDischargeActive() const {
    return m_selfDischarge && m_mode && m_mode->selfDischarge;
}

FieldVisibility ProgramEditorModel::visibility() const {
    FieldVisibility v;
    const bool preset = m_definition == BatteryDefinition::PresetVoltages;
    v.batteryLists = m_definition == BatteryDefinition::BatteryType;
    v.chargeEndVoltage = preset && m_chargeEndNeeded;
    v.dischargeEndVoltage = preset && m_dischargeEndNeeded;
    // Until a mode is applied the current boxes stay as the editor opened them: shown.
    v.chargeCurrent = v.dischargeCurrent = true;
    if (m_mode) {
        v.chargeCurrent = m_mode->chargeCurrent;
        v.dischargeCurrent = m_mode->dischargeCurrent;
        v.cycleList = m_mode->cycleList;
        v.period = m_mode->period;
        v.selfDischargeBox = m_mode->selfDischarge;
    }
    v.chargeRate = v.chargeCurrent && m_targetCapacity;
    v.dischargeRate = v.dischargeCurrent && m_targetCapacity;
    v.selfDischargeDetails = v.selfDischargeBox && m_selfDischarge;
    v.capacity = m_targetCapacity;
    return v;
}

// --- checks ---

CheckResult ProgramEditorModel::checkBatteryDefinition() const {
    switch (m_definition) {
    case BatteryDefinition::None:
        return message("0987", "optAkkuTyp");
    case BatteryDefinition::BatteryType:
        if (m_typeNumber < 0)
            return message("0982", "cboAkkuType");
        if (m_nominalVoltage.trimmed().isEmpty() || m_cellCount.trimmed().isEmpty())
            return message("0984", "cboNennSpannung");
        return std::nullopt;
    case BatteryDefinition::PresetVoltages:
        if (value(Box::ChargeEndVoltage) == 0 && m_chargeEndNeeded)
            return message("0985", "txtLadeschlussSpannung");
        if (value(Box::DischargeEndVoltage) == 0 && m_dischargeEndNeeded)
            return message("0986", "txtEntladeschlussSpannung");
        return std::nullopt;
    }
    return std::nullopt;
}

CheckResult ProgramEditorModel::checkRequiredValues() const {
    const FieldVisibility v = visibility();
    if (v.chargeCurrent && value(Box::ChargeCurrent) == 0)
        return message("0997", "txtLadestrom");
    if (v.dischargeCurrent && value(Box::DischargeCurrent) == 0)
        return message("0998", "txtEntladestrom");
    if (v.capacity && value(Box::Capacity) == 0)
        return message("0999", "txtKapazitaetAh");
    if (v.selfDischargeDetails && value(Box::SelfDischarge) <= 0)
        return message("0995", "txtSelbstentladungsZeitraum");
    // The charger knows no program without a mode.
    if (!m_mode)
        return message("4105", "cboGeraeteModi");
    return std::nullopt;
}

bool ProgramEditorModel::isShown(Box box) const {
    const FieldVisibility v = visibility();
    switch (box) {
    case Box::ChargeEndVoltage:
        return v.chargeEndVoltage;
    case Box::DischargeEndVoltage:
        return v.dischargeEndVoltage;
    case Box::ChargeCurrent:
        return v.chargeCurrent;
    case Box::DischargeCurrent:
        return v.dischargeCurrent;
    case Box::Capacity:
    case Box::Percent:
        return v.capacity;
    case Box::Period:
        return v.period;
    case Box::SelfDischarge:
        return v.selfDischargeDetails;
    }
    return false;
}

double ProgramEditorModel::sentValue(Box box) const {
    if (isShown(box) || !limitCheck(box))
        return value(box);
    return 0;
}

CheckResult ProgramEditorModel::checkLimits() const {
    // Only the boxes the mode shows: a hidden box cannot be corrected.
    for (int i = 0; i < BoxCount; ++i)
        if (isShown(Box(i)))
            if (CheckResult r = limitCheck(Box(i)))
                return r;
    return std::nullopt;
}

CheckResult ProgramEditorModel::checkBeforeTransfer() const {
    if (CheckResult r = checkBatteryDefinition())
        return r;
    if (CheckResult r = checkRequiredValues())
        return r;
    return checkLimits();
}

} // namespace velmara
