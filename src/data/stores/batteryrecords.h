#pragma once
// The batteries and their measurement series in the user file (tables Akkus,
// MessReihen, ImportMessReihen), as plain reads and writes. The rules (names
// unique, series numbered without gaps, deleting with renumbering) are the
// callers' (batteries/core/batterystore.h), so every engine shares them.
#include "base/core/result.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

namespace velmara {

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
    QString program;     // Programm, the charger's program text
    QString station;     // Station: the name of the station that recorded it ("" before stations)
    int channel = 0;     // Kanal: its channel there (0: not known)
};

// A new series row; number 0 leaves it without a number (an import in progress).
struct NewSeries {
    qint32 batteryId = -1;
    int number = 0;
    QString remark;
    QVariant created; // a QDateTime, or the text of a file
    QString program;
    QString mode;
    int channel = 0; // the channel that records it (0: none, e.g. an import)
};

// What deleting a battery or a series takes with it.
struct DeletionLoss {
    int series = 0;
    int values = 0;
};

class BatteryRecords {
public:
    virtual ~BatteryRecords() = default;

    // Runs work as one step: all of its writes, or none when it fails.
    virtual Result<void> inOneStep(const std::function<Result<void>()>& work) = 0;

    // Batteries and series that an import still running made are left out.
    virtual Result<QVector<BatteryRow>> batteries() = 0;
    // A battery's series by number.
    virtual Result<QVector<SeriesRow>> seriesOf(qint32 batteryId) = 0;
    virtual Result<std::optional<SeriesRow>> seriesById(qint32 seriesId) = 0;

    // Batteries with exactly this name (letter case counts), hidden ones too.
    virtual Result<int> countNamed(const QString& name) = 0;
    virtual Result<bool> batteryExists(qint32 batteryId) = 0;
    // The battery's highest series number, 0 without any.
    virtual Result<int> highestNumber(qint32 batteryId) = 0;

    virtual Result<qint32> insertBattery(const QString& name, const QString& remark) = 0;
    virtual Result<qint32> insertSeries(const NewSeries& series) = 0;
    virtual Result<void> setNumber(qint32 seriesId, int number) = 0;
    virtual Result<void> setProgram(qint32 seriesId, const QString& program,
                                    const QString& mode) = 0;

    virtual Result<DeletionLoss> lossOfBattery(qint32 batteryId) = 0;
    virtual Result<DeletionLoss> lossOfSeries(qint32 seriesId) = 0;
    // The series with its values; the battery's series numbered after it move
    // down by one is the caller's step (closeGap).
    virtual Result<void> removeSeries(qint32 seriesId) = 0;
    virtual Result<void> closeGap(qint32 batteryId, int number) = 0;
    // The battery with all its series and values.
    virtual Result<void> removeBattery(qint32 batteryId) = 0;

    // A series being imported: listed (with the battery made for it, if any)
    // until its last value is in.
    virtual Result<void> markImporting(qint32 seriesId, std::optional<qint32> newBattery) = 0;
    virtual Result<void> unmarkImporting(qint32 seriesId) = 0;
};

} // namespace velmara
