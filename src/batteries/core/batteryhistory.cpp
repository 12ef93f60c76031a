#include "batteries/core/batteryhistory.h"

#include "batteries/core/batterystore.h"
#include "data/stores/valuestore.h"
#include "data/valuestrings.h"
#include "link/endvaluerecord.h"
#include "link/programrecord.h"

#include <QHash>

namespace velmara {

namespace {
std::optional<qint32> nominalOf(const QString& programText) {
    if (programText.trimmed().isEmpty())
        return std::nullopt;
    ProgramRecord program; // only its capacity is read
    QString text = programText;
    program.parse(text, true);
    if (program.batteryType == ProgramRecord::Absent || program.batteryType < 0 ||
        program.capacityMah == ProgramRecord::Absent || program.capacityMah <= 0)
        return std::nullopt;
    return program.capacityMah;
}
} // namespace

BatteryHistory readBatteryHistory(BatteryRecords& records, ValueStore& values, qint32 batteryId) {
    BatteryHistory history;
    BatteryStore store(records);
    const auto battery = store.battery(batteryId);
    if (!battery)
        return history;
    history.found = true;
    history.batteryName = battery->name;

    QHash<qint32, int> indexOf;
    for (const SeriesRow& row : store.series(batteryId)) {
        SeriesHistory s;
        s.seriesId = row.id;
        s.number = row.number;
        s.created = row.created;
        s.remark = row.remark;
        s.station = stationText(row.station, row.channel);
        s.nominalMah = nominalOf(row.program);
        indexOf.insert(row.id, int(history.series.size()));
        history.series.append(s);
    }
    for (const SeriesHistory& s : history.series)
        if (s.nominalMah)
            history.nominalMah = s.nominalMah;

    // One pass over the end values of all series, in recording order.
    (void)values.visitEndValuesOfBattery(batteryId, [&](const StoredValueView& value) {
        const auto at = indexOf.constFind(value.seriesId);
        if (at == indexOf.constEnd())
            return true;
        const LoadedMeasurementValue v = parseValueString(QString::fromUtf8(value.text), true);
        if (!v.bValid) {
            ++history.damaged;
            return true;
        }
        SeriesHistory& s = history.series[*at];
        if (v.endValueType == EndValueRecord::AfterCharge)
            s.chargedMah = v.capacityMah;
        else if (v.endValueType == EndValueRecord::AfterDischarge)
            s.dischargedMah = v.capacityMah;
        return true;
    });
    return history;
}

std::optional<int> percentOfNominal(const SeriesHistory& series) {
    if (!series.dischargedMah || !series.nominalMah || *series.nominalMah <= 0)
        return std::nullopt;
    return int((qint64(*series.dischargedMah) * 100 + *series.nominalMah / 2) / *series.nominalMah);
}

} // namespace velmara
