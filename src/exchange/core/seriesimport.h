#pragma once
// An import of a series file that never holds the file whole and never holds
// the event loop long. The values are read a portion at a time into a table of
// the connection's own that is not part of the user file; a refused file leaves
// the user file untouched. Then they move into the user file a slice at a time,
// each slice one short transaction (the caller lets the event loop run between
// them, so the channels record meanwhile and their values are never part of an
// import's transaction), under a new series that no list shows: the slice that
// moves the last values numbers it as the battery's next series and shows it,
// complete. A cancelled or failed import takes its values out again a slice at
// a time; one cut off by the end of the program is removed when the user file
// is opened next (data/stores/unfinishedimports.h).
#include "exchange/core/seriescsv.h"
#include "exchange/core/seriesexchange.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;

namespace velmara {

class BatteryRecords;
class BatteryStore;
class ImportStaging;
class UserStores;

// The largest file the import takes: about 1.6 million values, more than a
// month of recording at one value every three seconds.
constexpr qint64 kLargestSeriesFile = qint64(64) * 1024 * 1024;

class SeriesImport {
public:
    enum class Status { More, Done, Refused, Failed };

    explicit SeriesImport(UserStores& stores);
    // Drops what was read, and removes from the user file what was stored of a
    // series not finished (all at once).
    ~SeriesImport();
    SeriesImport(const SeriesImport&) = delete;
    SeriesImport& operator=(const SeriesImport&) = delete;

    // Reads the file's head; false when the file refuses (refusal()) or the
    // values cannot be kept (error()).
    bool open(QIODevice& device);
    // For a series already in memory: its head; its values go in with add().
    bool open(const SeriesFile& head);
    const SeriesFile& head() const { return m_head; }

    // Reads up to maxValues further values of the file.
    Status readSome(int maxValues);
    // Adds values held in memory.
    bool add(const QVector<LoadedMeasurementValue>& values);
    qint64 valuesRead() const { return m_count; }

    // Makes the hidden series (and the new battery) the values go into; false
    // (error() set) when the battery does not exist or the new name is not free.
    bool beginStore(BatteryStore& store, const ImportTarget& target);
    // Moves up to maxValues further values into it in one transaction; Done
    // when the series is complete and shown (stored()). After Failed the
    // series stays hidden until discardSome() has removed it.
    Status storeSome(int maxValues);
    qint64 valuesStored() const { return m_stored; }
    // Takes out up to maxValues of the values stored so far in one
    // transaction: Done when nothing of the import is left in the user file;
    // Failed when the file refuses (the hidden series then goes when the file
    // is opened next).
    Status discardSome(int maxValues);
    const std::optional<ImportedSeries>& stored() const { return m_imported; }

    // Stores what was read as the target battery's next series at once (for a
    // series held in memory); nullopt (error() set) when the battery does not
    // exist, the new name is not free or the file refuses, and then nothing is
    // left of it in the user file.
    std::optional<ImportedSeries> store(BatteryStore& store, const ImportTarget& target);

    const CsvRefusal& refusal() const;
    const QString& error() const { return m_error; }

private:
    bool prepare();

    std::unique_ptr<ImportStaging> m_staging;
    std::unique_ptr<SeriesCsvReader> m_reader;
    SeriesFile m_head;
    bool m_reading = false;   // values may be added
    bool m_haveTable = false; // values were staged
    qint64 m_count = 0;
    QString m_error;
    QVector<LoadedMeasurementValue> m_portion;
    qint32 m_hiddenSeries = -1; // the series being stored, until it is shown
    qint32 m_batteryId = -1;
    BatteryRecords* m_records = nullptr;
    qint64 m_stored = 0;
    std::optional<ImportedSeries> m_imported;
};

// The size of the next slice, so that a slice takes about targetMs: from the
// size and the time of the last one, at most doubling, within [min, max].
struct SliceSize {
    int next(int last, qint64 elapsedMs) const;
    qint64 targetMs = 15;
    int min = 500;
    int max = 50000;
};

} // namespace velmara
