#pragma once
// The program editor without widgets: every field as a value, how one field
// determines others, which fields the device mode shows, and the checks on the
// fields. The editor dialog binds its controls to this model.
#include "link/programrecord.h"
#include "programs/core/editormessage.h"
#include "programs/core/programreference.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace velmara {

enum class BatteryDefinition { None, BatteryType, PresetVoltages };

// The number boxes of the editor.
enum class Box {
    ChargeEndVoltage,    // txtLadeschlussSpannung, V
    DischargeEndVoltage, // txtEntladeschlussSpannung, V
    ChargeCurrent,       // txtLadestrom, A
    DischargeCurrent,    // txtEntladestrom, A
    Capacity,            // txtKapazitaetAh, Ah
    Percent,             // txtKapazitaetProzent, whole percent
    Period,              // txtZeitraum, whole days
    SelfDischarge,       // txtSelbstentladungsZeitraum, whole hours or days
};
constexpr int BoxCount = 8;

// The objectName of a box's control.
QString boxName(Box box);
// True for the boxes that hold volts, amperes or ampere-hours.
bool isDecimalBox(Box box);

// Which optional parts of the editor are shown.
struct FieldVisibility {
    bool batteryLists = false;        // type, cell count and nominal voltage lists
    bool chargeEndVoltage = false;    // box, label, unit
    bool dischargeEndVoltage = false; // box, label, unit
    bool chargeCurrent = false;
    bool dischargeCurrent = false;
    bool chargeRate = false;    // rate list and its label
    bool dischargeRate = false; // rate list and its label
    bool cycleList = false;
    bool period = false;
    bool selfDischargeBox = false;     // the check box
    bool selfDischargeDetails = false; // label, interval box, unit options
    bool capacity = false;             // capacity and percentage boxes with their labels
    bool operator==(const FieldVisibility&) const = default;
};

class ProgramEditorModel {
public:
    explicit ProgramEditorModel(const ProgramReference& reference, QLocale locale = QLocale());

    const ProgramReference& reference() const { return m_ref; }
    const QLocale& locale() const { return m_locale; }

    // --- the program record ---
    // The record whose fields initFromProgram shows; the extended fields of
    // the program text come from it.
    void setProgram(const ProgramRecord& program) { m_program = program; }
    const ProgramRecord& program() const { return m_program; }
    // Fills the fields from the record. A record that holds no program (-1, -2,
    // -4) leaves the number boxes at zero and the rest as it was.
    void initFromProgram();
    // Takes the eight extended fields of another record.
    void setExtendedFields(const ProgramRecord& from);

    // --- battery definition ---
    BatteryDefinition batteryDefinition() const { return m_definition; }
    void chooseBatteryDefinition(BatteryDefinition d);
    int batteryTypeNumber() const { return m_typeNumber; } // -1: none chosen
    void chooseBatteryType(int number);
    // The lists of the chosen type: cell counts and their nominal voltages ("7,2 V").
    QStringList cellCountList() const;
    QStringList nominalVoltageList() const;
    const QString& cellCountText() const { return m_cellCount; }
    const QString& nominalVoltageText() const { return m_nominalVoltage; }
    void pickCellCount(const QString& text);
    void pickNominalVoltage(const QString& text);
    // The per-cell voltage of the chosen type, 0 when none.
    double cellVoltageOfType() const;

    // --- device mode and cycles ---
    int deviceModeNumber() const { return m_modeNumber; } // -1: none chosen
    void chooseDeviceMode(int number);
    bool chargeEndVoltageNeeded() const { return m_chargeEndNeeded; }
    bool dischargeEndVoltageNeeded() const { return m_dischargeEndNeeded; }
    int cycleCode() const { return m_cycleCode; }
    void chooseCycleCode(int sendCode);

    // --- number boxes ---
    const QString& text(Box box) const { return m_text[int(box)]; }
    // The user typed: a current box typed into loses its rate.
    void setText(Box box, const QString& text);
    // The box's value: volts, amperes, ampere-hours or a whole number; an empty
    // or unreadable text counts as 0.
    double value(Box box) const;
    // The value the program text takes from the box. A box the mode hides
    // (the charger does not use it in this mode) gives its value only while it
    // lies within its limits row, else 0: the field's default or "not set".
    double sentValue(Box box) const;
    bool isShown(Box box) const;
    // The check when the box is left; decimal boxes are re-formatted "###0.000".
    CheckResult leaveBox(Box box);

    // --- rates ---
    // "0,10 C" ... "3 C" with the locale's separator.
    QStringList rateList() const;
    int chargeRateIndex() const { return m_chargeRate; } // -1: none
    int dischargeRateIndex() const { return m_dischargeRate; }
    void chooseChargeRate(int index);
    void chooseDischargeRate(int index);

    // --- check boxes ---
    bool targetCapacity() const { return m_targetCapacity; }
    void setTargetCapacity(bool on) { m_targetCapacity = on; }
    bool selfDischarge() const { return m_selfDischarge; }
    void setSelfDischarge(bool on); // switching it on selects days
    bool selfDischargeHours() const { return m_hours; }
    void chooseSelfDischargeHours(bool hours);
    // The self-discharge test goes with the program: its box is shown and set.
    bool selfDischargeActive() const;

    // --- library selection ---
    // Every edit of the battery definition, the mode, the cycles or a rate
    // clears it: the fields no longer show the stored program.
    qint64 storedProgramId() const { return m_storedId; } // -1: none
    void setStoredProgramId(qint64 id) { m_storedId = id; }
    void clearProgramSelection() { m_storedId = -1; }
    bool deleteEnabled() const { return m_storedId >= 0; }

    FieldVisibility visibility() const;

    // --- checks before a program leaves the editor ---
    CheckResult checkBatteryDefinition() const;
    CheckResult checkRequiredValues() const;
    // Every value of a box the mode shows lies within its limits row (0 and
    // empty excepted: they stand for defaults or "not set").
    CheckResult checkLimits() const;
    CheckResult checkBeforeTransfer() const;

private:
    void applyBatteryType(int number);
    void applyDeviceMode(int number);
    void setNominalFromCells();
    QString threeDecimals(double v) const;
    QString limitRowKey(Box box) const;
    CheckResult limitCheck(Box box) const;

    const ProgramReference& m_ref;
    QLocale m_locale;
    ProgramRecord m_program;

    BatteryDefinition m_definition = BatteryDefinition::None;
    int m_typeNumber = -1;
    QString m_cellCount;
    QString m_nominalVoltage;
    int m_modeNumber = -1;
    const DeviceMode* m_mode = nullptr;
    bool m_chargeEndNeeded = true;
    bool m_dischargeEndNeeded = true;
    int m_cycleCode = 0;
    QString m_text[BoxCount];
    int m_chargeRate = -1;
    int m_dischargeRate = -1;
    bool m_targetCapacity = false;
    bool m_selfDischarge = false;
    bool m_hours = false;
    qint64 m_storedId = -1;
};

} // namespace velmara
