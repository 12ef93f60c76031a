#pragma once
// How a battery ages: for every series of one battery its date and the charge
// and discharge capacities the charger reported at the end of the phases, with
// the nominal capacity of the program that ran. The capacities are those of the
// last end value of each kind in the series (after a cycling run: the last
// cycle). Internal resistance is not estimated: the stored values hold the
// current as a magnitude every few seconds, without a defined load step to
// measure a voltage drop against.
#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

namespace velmara {

class BatteryRecords;
class ValueStore;

struct SeriesHistory {
    qint32 seriesId = -1;
    int number = 0;
    QDateTime created; // invalid when the stored date cannot be read
    QString remark;
    QString station;                     // where it was recorded (stationText)
    std::optional<qint32> chargedMah;    // last end value after charging
    std::optional<qint32> dischargedMah; // last end value after discharging
    std::optional<qint32> nominalMah;    // capacity of the program, when it names one
};

struct BatteryHistory {
    bool found = false;
    QString batteryName;
    QVector<SeriesHistory> series; // by number
    // The nominal capacity of the latest series whose program names one: the
    // reference line of the chart.
    std::optional<qint32> nominalMah;
    int damaged = 0; // end values whose text could not be read; left out
};

BatteryHistory readBatteryHistory(BatteryRecords& records, ValueStore& values, qint32 batteryId);

// Discharge capacity as a whole percentage of the nominal capacity, when both are known.
std::optional<int> percentOfNominal(const SeriesHistory& series);

} // namespace velmara
