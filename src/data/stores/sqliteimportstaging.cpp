#include "data/stores/sqliteimportstaging.h"

#include "data/stores/unfinishedimports.h"
#include "storage/backgroundcheckpoint.h"
#include "storage/database.h"
#include "storage/query.h"

namespace velmara {

namespace {
// In the connection's temporary database (in memory): never written into the
// user file.
const QString kTable = QStringLiteral("temp.velmara_import");
} // namespace

SqliteImportStaging::SqliteImportStaging(UserFile file) : m_file(std::move(file)) {}

SqliteImportStaging::~SqliteImportStaging() {
    holdSyncs(false);
    end();
}

void SqliteImportStaging::end() {
    m_insert.reset(); // a prepared statement would keep the table
    if (!m_haveTable)
        return;
    m_haveTable = false;
    if (const auto db = openUserFile(m_file); db && *db == m_db)
        m_db->execute(QStringLiteral("DROP TABLE IF EXISTS ") + kTable);
}

Result<void> SqliteImportStaging::begin() {
    end();
    m_count = 0;
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    m_db = *db;
    // Pages of the table are not overwritten when it goes: it is in memory,
    // and overwriting them would hold the event loop for half a second.
    if (!m_db->execute(QStringLiteral("PRAGMA temp.secure_delete = 0")) ||
        !m_db->execute(QStringLiteral("DROP TABLE IF EXISTS ") + kTable) ||
        !m_db->execute(QStringLiteral("CREATE TABLE ") + kTable +
                       QStringLiteral(" (n INTEGER PRIMARY KEY, EW INTEGER NOT NULL, "
                                      "MessWertString TEXT NOT NULL)")))
        return failureOf(*m_db);
    m_haveTable = true;
    m_insert = m_db->prepare(QStringLiteral("INSERT INTO ") + kTable +
                             QStringLiteral(" (EW, MessWertString) VALUES (?, ?)"));
    if (!m_insert->isValid()) {
        const QString error = m_insert->error();
        end();
        return Failure{error};
    }
    return {};
}

Result<qint64> SqliteImportStaging::add(const QVector<StagedValue>& values) {
    if (!m_insert)
        return Failure{QStringLiteral("Nothing is being read.")};
    Query& insert = *m_insert;
    QString failure;
    qint64 added = 0;
    // One transaction per portion: a statement each, prepared once.
    const bool ok = m_db->transaction([&] {
        for (const StagedValue& v : values) {
            const QByteArray text = v.text.toUtf8();
            if (!insert.bind(1, v.endValue ? 1 : 0) || !insert.bindText(2, text) ||
                insert.next() != Query::Step::Done) {
                failure = insert.error();
                insert.reset();
                return false;
            }
            ++added;
        }
        insert.reset();
        return true;
    });
    if (!ok)
        return failure.isEmpty() ? failureOf(*m_db) : Failure{failure};
    m_count += added;
    return m_count;
}

// A slice waits for no disk: its commit does not sync (a sync would hold the
// event loop for as long as the disk takes; the next value the recorder
// writes syncs it, and a slice lost to a power failure only leaves a hidden
// series to be removed), and the log is carried into the file on a thread of
// its own, not inside a commit. The slice that shows the series syncs.
void SqliteImportStaging::holdSyncs(bool hold) {
    if (hold == m_holding || !m_db)
        return;
    m_holding = hold;
    if (hold) {
        m_autoCheckpoint = m_db->scalar(QStringLiteral("PRAGMA wal_autocheckpoint")).toInt();
        m_synchronous = m_db->scalar(QStringLiteral("PRAGMA synchronous")).toInt();
        m_db->execute(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
        m_checkpoints = std::make_unique<BackgroundCheckpoint>(m_db->path(), m_db->connect());
        return;
    }
    m_db->execute(QStringLiteral("PRAGMA wal_autocheckpoint = %1").arg(m_autoCheckpoint));
    m_checkpoints->request(); // what the last slices left in the log
}

Result<void> SqliteImportStaging::inSlice(const std::function<Result<void>()>& work, bool durable) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    Database& user = **db;
    if (!durable)
        user.execute(QStringLiteral("PRAGMA synchronous = 1"));
    QString failure;
    const bool ok = user.transaction([&] {
        const Result<void> done = work();
        failure = done.error();
        return done.ok();
    });
    if (!durable)
        user.execute(QStringLiteral("PRAGMA synchronous = %1").arg(m_synchronous));
    if (ok && m_checkpoints)
        m_checkpoints->request();
    if (ok)
        return {};
    return failure.isEmpty() ? failureOf(user) : Failure{failure};
}

Result<void> SqliteImportStaging::moveInto(qint32 seriesId, qint64 from, qint64 to) {
    if (!m_haveTable || !m_db)
        return Failure{QStringLiteral("Nothing was read.")};
    if (!m_db->execute(QStringLiteral("INSERT INTO MessWerte (MessReiheID, EW, MessWertString) "
                                      "SELECT ?, EW, MessWertString FROM ") +
                           kTable + QStringLiteral(" WHERE n > ? AND n <= ? ORDER BY n"),
                       {seriesId, from, to}))
        return failureOf(*m_db);
    return {};
}

Result<void> SqliteImportStaging::removeSome(qint32 seriesId, qint64 n) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    if (!(*db)->execute(QStringLiteral("DELETE FROM MessWerte WHERE MessWertId IN (SELECT "
                                       "MessWertId FROM MessWerte WHERE MessReiheID = ? LIMIT ?)"),
                        {seriesId, n}))
        return failureOf(**db);
    return {};
}

Result<int> SqliteImportStaging::removeUnfinished(qint32 seriesId) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    QString error;
    const int removed = removeUnfinishedImports(**db, seriesId, &error);
    if (removed < 0)
        return Failure{error};
    return removed;
}

} // namespace velmara
