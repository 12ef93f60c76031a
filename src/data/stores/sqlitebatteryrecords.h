#pragma once
// The batteries and series in an SQLite user file.
#include "data/stores/batteryrecords.h"
#include "data/stores/userfile.h"

namespace velmara {

class SqliteBatteryRecords final : public BatteryRecords {
public:
    // station: the name of this station, written into each new series.
    explicit SqliteBatteryRecords(UserFile file, std::function<QString()> station = {})
        : m_file(std::move(file)), m_station(std::move(station)) {}

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
    Result<qint64> count(const QString& sql, const QVariantList& params);
    Result<void> run(const QString& sql, const QVariantList& params);
    Result<QVector<SeriesRow>> readSeries(const QString& where, const QVariantList& params);

    UserFile m_file;
    std::function<QString()> m_station;
};

} // namespace velmara
