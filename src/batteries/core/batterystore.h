#pragma once
// The rules of batteries and their measurement series, over the records of
// any engine. A battery always has at least one series; series are numbered
// 1, 2, 3 ... without gaps within their battery. Every change is one step of
// the records: all of it or nothing.
#include "data/stores/batteryrecords.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace velmara {

enum class NameCheck { Free, Blank, Taken, Failed };

// Where a series was recorded, as its lists show it: "station / channel", the
// station alone, or "" for a series from before stations.
QString stationText(const QString& station, int channel);

class BatteryStore {
public:
    using Clock = std::function<QDateTime()>;
    // records: the user file's. clock: the creation time of new series (default: now).
    explicit BatteryStore(BatteryRecords& records, Clock clock = {});

    // Batteries by name (letter case ignored, then exact, then id).
    QVector<BatteryRow> batteries();
    std::optional<BatteryRow> battery(qint32 batteryId);
    // The series of a battery by number.
    QVector<SeriesRow> series(qint32 batteryId);
    std::optional<SeriesRow> seriesById(qint32 seriesId);

    // A new battery name: blank after trimming, taken (exact, letter case counts) or free.
    NameCheck checkName(const QString& name);

    struct Created {
        qint32 batteryId = -1;
        qint32 seriesId = -1;
        int number = 0;
    };
    // A battery (trimmed name) with its series number 1; nullopt when the name is
    // not free or the file refuses.
    // channel: the channel (1..4) that records the series, 0 for none.
    std::optional<Created> createBattery(const QString& name, const QString& batteryRemark,
                                         const QString& seriesRemark, int channel = 0);
    // A series numbered after the battery's highest (1 for a battery without any).
    std::optional<Created> addSeries(qint32 batteryId, const QString& remark, int channel = 0);

    DeletionLoss lossOfBattery(qint32 batteryId);
    DeletionLoss lossOfSeries(qint32 seriesId);
    // Deletes the series with its values; the battery's later series move down by one.
    bool deleteSeries(qint32 seriesId);
    // Deletes the battery with all its series and values.
    bool deleteBattery(qint32 batteryId);

    const QString& lastError() const { return m_error; }
    void clearError() { m_error.clear(); }
    // The creation time of a new series.
    QDateTime now() const;

    BatteryRecords& records() { return m_records; }

private:
    // The value of a result, or fallback with the failure kept in lastError().
    template <class T> T valueOr(Result<T> result, T fallback) {
        if (result)
            return std::move(*result);
        m_error = result.error();
        return fallback;
    }

    BatteryRecords& m_records;
    Clock m_clock;
    QString m_error;
};

} // namespace velmara
