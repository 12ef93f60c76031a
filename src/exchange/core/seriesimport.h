#pragma once
// An import of a series file that never holds the file whole: the values are
// read a portion at a time (the caller lets the event loop run in between) into
// a table of the connection's own that is not part of the user file, then moved
// into a new series in one transaction. Until then the user file is untouched,
// so a refused file or a cancelled import leaves it as it was.
#include "exchange/core/seriescsv.h"
#include "exchange/core/seriesexchange.h"

#include <QString>

#include <memory>
#include <optional>

class QIODevice;

namespace velmara {

class BatteryStore;
class Database;

// The largest file the import takes: about 1.6 million values, more than a
// month of recording at one value every three seconds.
constexpr qint64 kLargestSeriesFile = qint64(64) * 1024 * 1024;

class SeriesImport {
public:
    enum class Status { More, Done, Refused, Failed };

    explicit SeriesImport(Database& user);
    ~SeriesImport(); // drops what was read and not stored
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

    // Stores what was read as the target battery's next series, in one
    // transaction; nullopt (error() set) when the battery does not exist, the
    // new name is not free or the file refuses.
    std::optional<ImportedSeries> store(BatteryStore& store, const ImportTarget& target);

    const CsvRefusal& refusal() const;
    const QString& error() const { return m_error; }

private:
    bool prepare();
    void drop();

    Database& m_user;
    std::unique_ptr<SeriesCsvReader> m_reader;
    SeriesFile m_head;
    struct Insert;
    std::unique_ptr<Insert> m_insert;
    qint64 m_count = 0;
    QString m_error;
    QVector<LoadedMeasurementValue> m_portion;
};

} // namespace velmara
