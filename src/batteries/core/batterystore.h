#pragma once
// Batteries and their measurement series in the user file. A battery always has
// at least one series; series are numbered 1, 2, 3 ... without gaps within their
// battery. Every change runs in one transaction, and user text is bound, never
// pasted into a statement.
#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace velmara {

class Database;

struct BatteryRow {
    qint32 id = -1; // AkkuId
    QString name;   // AkkuName
    QString remark; // bemerkung
};

struct SeriesRow {
    qint32 id = -1; // MessReiheID
    qint32 batteryId = -1;
    int number = 0;      // Nummer
    QString remark;      // bemerkung
    QString mode;        // Mode
    QDateTime created;   // Datum
    QString createdText; // Datum as stored
};

// What deleting a battery or a series takes with it.
struct DeletionLoss {
    int series = 0;
    int values = 0;
};

enum class NameCheck { Free, Blank, Taken, Failed };

class BatteryStore {
public:
    using Clock = std::function<QDateTime()>;
    // db: the user file. clock: the creation time of new series (default: now).
    explicit BatteryStore(Database& db, Clock clock = {});

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
    std::optional<Created> createBattery(const QString& name, const QString& batteryRemark,
                                         const QString& seriesRemark);
    // A series numbered after the battery's highest (1 for a battery without any).
    std::optional<Created> addSeries(qint32 batteryId, const QString& remark);

    DeletionLoss lossOfBattery(qint32 batteryId);
    DeletionLoss lossOfSeries(qint32 seriesId);
    // Deletes the series with its values; the battery's later series move down by one.
    bool deleteSeries(qint32 seriesId);
    // Deletes the battery with all its series and values.
    bool deleteBattery(qint32 batteryId);

    const QString& lastError() const { return m_error; }
    // The creation time of a new series.
    QDateTime now() const;

private:
    int count(const QString& sql, const QVariantList& params);
    bool run(const QString& sql, const QVariantList& params);

    Database& m_db;
    Clock m_clock;
    QString m_error;
};

} // namespace velmara
