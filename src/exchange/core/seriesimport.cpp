#include "exchange/core/seriesimport.h"

#include "batteries/core/batterystore.h"
#include "data/unfinishedimports.h"
#include "storage/backgroundcheckpoint.h"
#include "storage/database.h"
#include "storage/query.h"

#include <QIODevice>

#include <algorithm>
#include <limits>

namespace velmara {

namespace {
// In the connection's temporary database (in memory): never written into the
// user file.
const QString kTable = QStringLiteral("temp.velmara_import");
constexpr int kAll = std::numeric_limits<int>::max();
} // namespace

SeriesImport::SeriesImport(Database& user) : m_user(user) {}

SeriesImport::~SeriesImport() {
    if (m_hiddenSeries >= 0)
        removeUnfinishedImports(m_user, m_hiddenSeries);
    holdSyncs(false);
    drop();
}

void SeriesImport::drop() {
    m_insert.reset(); // a prepared statement would keep the table
    if (!m_haveTable)
        return;
    m_haveTable = false;
    m_user.execute(QStringLiteral("DROP TABLE IF EXISTS ") + kTable);
}

bool SeriesImport::prepare() {
    drop();
    m_count = 0;
    // Pages of the table are not overwritten when it goes: it is in memory,
    // and overwriting them would hold the event loop for half a second.
    if (!m_user.execute(QStringLiteral("PRAGMA temp.secure_delete = 0")) ||
        !m_user.execute(QStringLiteral("DROP TABLE IF EXISTS ") + kTable) ||
        !m_user.execute(QStringLiteral("CREATE TABLE ") + kTable +
                        QStringLiteral(" (n INTEGER PRIMARY KEY, EW INTEGER NOT NULL, "
                                       "MessWertString TEXT NOT NULL)"))) {
        m_error = m_user.lastError();
        return false;
    }
    m_haveTable = true;
    m_insert = m_user.prepare(QStringLiteral("INSERT INTO ") + kTable +
                              QStringLiteral(" (EW, MessWertString) VALUES (?, ?)"));
    if (!m_insert->isValid()) {
        m_error = m_insert->error();
        drop();
        return false;
    }
    return true;
}

bool SeriesImport::open(QIODevice& device) {
    m_reader = std::make_unique<SeriesCsvReader>(device);
    if (!m_reader->readHead())
        return false;
    m_head = m_reader->head();
    return prepare();
}

bool SeriesImport::open(const SeriesFile& head) {
    m_reader.reset();
    m_head = head;
    m_head.values.clear();
    return prepare();
}

bool SeriesImport::add(const QVector<LoadedMeasurementValue>& values) {
    if (!m_insert)
        return false;
    Query& insert = *m_insert;
    // One transaction per portion: a statement each, prepared once.
    return m_user.transaction([&] {
        for (const LoadedMeasurementValue& v : values) {
            const QByteArray text = valueStringOf(v).toUtf8();
            if (!insert.bind(1, v.isEndValue ? 1 : 0) || !insert.bindText(2, text) ||
                insert.next() != Query::Step::Done) {
                m_error = insert.error();
                insert.reset();
                return false;
            }
            ++m_count;
        }
        insert.reset();
        return true;
    });
}

SeriesImport::Status SeriesImport::readSome(int maxValues) {
    if (!m_reader || !m_insert)
        return Status::Failed;
    m_portion.clear();
    const SeriesCsvReader::Status read = m_reader->readValues(maxValues, &m_portion);
    if (read == SeriesCsvReader::Status::Refused)
        return Status::Refused;
    if (!add(m_portion))
        return Status::Failed;
    return read == SeriesCsvReader::Status::Done ? Status::Done : Status::More;
}

const CsvRefusal& SeriesImport::refusal() const {
    static const CsvRefusal none;
    return m_reader ? m_reader->refusal() : none;
}

bool SeriesImport::beginStore(BatteryStore& store, const ImportTarget& target) {
    m_records = &store.records();
    if (!m_haveTable || m_hiddenSeries >= 0 || m_imported) {
        m_error = QStringLiteral("Nothing was read.");
        return false;
    }
    m_insert.reset(); // the reading is over
    m_error.clear();
    const bool newBattery = target.batteryId < 0;
    if (newBattery && store.checkName(target.newBatteryName) != NameCheck::Free) {
        m_error = store.lastError().isEmpty()
                      ? QStringLiteral("The battery name is blank or taken.")
                      : store.lastError();
        return false;
    }
    BatteryRecords& records = store.records();
    qint32 battery = target.batteryId;
    qint32 series = -1;
    const Result<void> done = records.inOneStep([&]() -> Result<void> {
        if (newBattery) {
            const auto made =
                records.insertBattery(target.newBatteryName.trimmed(), target.newBatteryRemark);
            if (!made)
                return Failure{made.error()};
            battery = *made;
        } else if (const auto exists = records.batteryExists(battery); !exists || !*exists) {
            return Failure{exists ? QStringLiteral("Battery %1 does not exist.").arg(battery)
                                  : exists.error()};
        }
        // The file's date stands; a file without one keeps the time of the import.
        const QVariant created =
            m_head.created.isEmpty() ? QVariant(store.now()) : QVariant(m_head.created);
        const auto hidden =
            records.insertSeries({battery, 0, m_head.remark, created, m_head.program, m_head.mode});
        if (!hidden)
            return Failure{hidden.error()};
        series = *hidden;
        return records.markImporting(series,
                                     newBattery ? std::optional<qint32>(battery) : std::nullopt);
    });
    if (!done) {
        m_error = done.error();
        return false;
    }
    m_batteryId = battery;
    m_hiddenSeries = series;
    m_stored = 0;
    holdSyncs(true);
    return true;
}

// A slice waits for no disk: its commit does not sync (a sync would hold the
// event loop for as long as the disk takes; the next value the recorder
// writes syncs it, and a slice lost to a power failure only leaves a hidden
// series to be removed), and the log is carried into the file on a thread of
// its own, not inside a commit. The slice that shows the series syncs.
void SeriesImport::holdSyncs(bool hold) {
    if (hold == m_holding)
        return;
    m_holding = hold;
    if (hold) {
        m_autoCheckpoint = m_user.scalar(QStringLiteral("PRAGMA wal_autocheckpoint")).toInt();
        m_synchronous = m_user.scalar(QStringLiteral("PRAGMA synchronous")).toInt();
        m_user.execute(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
        m_checkpoints = std::make_unique<BackgroundCheckpoint>(m_user.path(), m_user.connect());
        return;
    }
    m_user.execute(QStringLiteral("PRAGMA wal_autocheckpoint = %1").arg(m_autoCheckpoint));
    m_checkpoints->request(); // what the last slices left in the log
}

// One transaction of the import, synced only when durable.
bool SeriesImport::inSlice(const std::function<bool()>& work, bool durable) {
    if (!durable)
        m_user.execute(QStringLiteral("PRAGMA synchronous = 1"));
    const bool ok = m_user.transaction(work);
    if (!durable)
        m_user.execute(QStringLiteral("PRAGMA synchronous = %1").arg(m_synchronous));
    if (ok && m_checkpoints)
        m_checkpoints->request();
    return ok;
}

SeriesImport::Status SeriesImport::storeSome(int maxValues) {
    if (m_imported)
        return Status::Done;
    if (m_hiddenSeries < 0 || !m_haveTable) {
        m_error = QStringLiteral("Nothing is being stored.");
        return Status::Failed;
    }
    const qint64 upTo = std::min(m_count, m_stored + std::max(1, maxValues));
    const bool last = upTo == m_count;
    int number = 0;
    QString failure;
    const bool ok = inSlice(
        [&] {
            if (upTo > m_stored &&
                !m_user.execute(
                    QStringLiteral("INSERT INTO MessWerte (MessReiheID, EW, "
                                   "MessWertString) SELECT ?, EW, MessWertString FROM ") +
                        kTable + QStringLiteral(" WHERE n > ? AND n <= ? ORDER BY n"),
                    {m_hiddenSeries, m_stored, upTo}))
                return false;
            if (!last)
                return true;
            // Numbered after whatever series the battery got meanwhile, and shown
            // in the same step as its last values.
            const auto highest = m_records->highestNumber(m_batteryId);
            if (!highest) {
                failure = highest.error();
                return false;
            }
            number = *highest + 1;
            const Result<void> shown = m_records->setNumber(m_hiddenSeries, number);
            const Result<void> listed = shown ? m_records->unmarkImporting(m_hiddenSeries) : shown;
            failure = listed.error();
            return listed.ok();
        },
        last);
    if (!ok) {
        m_error = failure.isEmpty() ? m_user.lastError() : failure;
        return Status::Failed;
    }
    m_stored = upTo;
    if (!last)
        return Status::More;
    m_imported = ImportedSeries{m_batteryId, m_hiddenSeries, number};
    m_hiddenSeries = -1;
    holdSyncs(false);
    return Status::Done; // the table read goes with the import, not in this turn
}

SeriesImport::Status SeriesImport::discardSome(int maxValues) {
    if (m_hiddenSeries < 0) {
        holdSyncs(false);
        drop();
        return Status::Done;
    }
    if (m_stored > 0) {
        const qint64 n = std::min<qint64>(m_stored, std::max(1, maxValues));
        const bool ok = inSlice(
            [&] {
                return m_user.execute(
                    QStringLiteral("DELETE FROM MessWerte WHERE MessWertId IN (SELECT MessWertId "
                                   "FROM MessWerte WHERE MessReiheID = ? LIMIT ?)"),
                    {m_hiddenSeries, n});
            },
            false);
        if (!ok) {
            m_error = m_user.lastError();
            return Status::Failed;
        }
        m_stored -= n;
        return Status::More;
    }
    // Whatever is left (the values too, should more be there than counted).
    QString error;
    if (removeUnfinishedImports(m_user, m_hiddenSeries, &error) < 0) {
        m_error = error;
        return Status::Failed;
    }
    m_hiddenSeries = -1;
    holdSyncs(false);
    drop();
    return Status::Done;
}

std::optional<ImportedSeries> SeriesImport::store(BatteryStore& store, const ImportTarget& target) {
    if (!beginStore(store, target))
        return std::nullopt;
    Status status = Status::More;
    while (status == Status::More)
        status = storeSome(kAll);
    if (status == Status::Done)
        return m_imported;
    const QString failure = m_error;
    while (discardSome(kAll) == Status::More) {
    }
    m_error = failure;
    return std::nullopt;
}

int SliceSize::next(int last, qint64 elapsedMs) const {
    const qint64 scaled = qint64(last) * targetMs / std::max<qint64>(1, elapsedMs);
    return int(std::clamp<qint64>(std::min<qint64>(scaled, qint64(last) * 2), min, max));
}

} // namespace velmara
