#pragma once
// The reference rows the program editor works from: battery types, device
// modes, forming cycles and the limits of every program value, read once from
// the master file for the charger family in use.
#include <QString>
#include <QVector>

namespace velmara {

class Database;

struct BatteryType {
    int number = 0;         // Nr, the A field
    double cellVoltage = 0; // Nennspannung, volts per cell
    int minCells = 0;       // ZMin of the charger family
    int maxCells = 0;       // ZMax of the charger family
    QString name;           // in the current language
};

// Which fields of the editor a device mode needs.
struct DeviceMode {
    int number = 0;                   // ModusNr, the M field
    bool chargeCurrent = false;       // LBlock
    bool dischargeCurrent = false;    // EBlock
    bool selfDischarge = false;       // TSel
    bool cycleList = false;           // FormCbo
    bool period = false;              // TageText
    bool chargeEndVoltage = false;    // Ladeschluss
    bool dischargeEndVoltage = false; // Entladeschluss
    QString name;
};

struct FormingMode {
    QString name;     // Modus, as the list shows it
    int sendCode = 0; // SendeCode, the F field
};

// One row of MinMaxWerte with the charger family's bounds.
struct LimitRow {
    QString key; // Bez: "L", "E", "05", "K", "P", "W", "YH", "YD", "N"
    double min = 0;
    double max = 0;
};

struct ProgramReference {
    QVector<BatteryType> batteryTypes; // usable types, by name
    QVector<DeviceMode> deviceModes;
    QVector<FormingMode> formingModes; // in table order
    QVector<LimitRow> limits;

    const BatteryType* batteryType(int number) const;
    const DeviceMode* deviceMode(int number) const;
    const LimitRow* limit(const QString& key) const;
    int formingIndexOf(int sendCode) const; // -1 when no row sends it
};

// Reads the rows for the charger family ("QMT1" / "QMT4") with names in the
// language. On a failed query the lists stay empty and *error says why.
ProgramReference loadProgramReference(Database* master, const QString& charger,
                                      const QString& language, QString* error = nullptr);

} // namespace velmara
