#pragma once
// The batteries and series on a PostgreSQL server. Every reader of the shared
// data sees a battery's series numbered without gaps: a new number is taken
// under the battery's row lock, so two stations adding a series at once get
// n and n + 1.
#include "data/stores/batteryrecords.h"
#include "data/stores/serverstation.h"

namespace velmara {

class ServerLine;

class PgBatteryRecords final : public BatteryRecords {
public:
    PgBatteryRecords(ServerLine& line, ServerStation station);

    Result<void> inOneStep(const std::function<Result<void>()>& work) override;
    Result<QVector<BatteryRow>> batteries() override;
    Result<QVector<SeriesRow>> seriesOf(qint32 batteryId) override;
    Result<std::optional<SeriesRow>> seriesById(qint32 seriesId) override;
    Result<int> countNamed(const QString& name) override;
    Result<bool> batteryExists(qint32 batteryId) override;
    Result<int> highestNumber(qint32 batteryId) override;
    Result<qint32> insertBattery(const QString& name, const QString& remark) override;
    Result<qint32> insertSeries(const NewSeries& series) override;
    Result<void> setNumber(qint32 seriesId, int number) override;
    Result<void> setProgram(qint32 seriesId, const QString& program, const QString& mode) override;
    Result<DeletionLoss> lossOfBattery(qint32 batteryId) override;
    Result<DeletionLoss> lossOfSeries(qint32 seriesId) override;
    Result<void> removeSeries(qint32 seriesId) override;
    Result<void> closeGap(qint32 batteryId, int number) override;
    Result<void> removeBattery(qint32 batteryId) override;
    Result<void> markImporting(qint32 seriesId, std::optional<qint32> newBattery) override;
    Result<void> unmarkImporting(qint32 seriesId) override;

private:
    Result<QVector<SeriesRow>> readSeries(const QString& where, const QList<QVariant>& params);
    Result<void> exec(const QString& sql, const QList<QVariant>& params);
    Result<DeletionLoss> loss(const QString& seriesWhere, qint32 id);

    ServerLine& m_line;
    ServerStation m_station;
};

} // namespace velmara
