#include "storage/database.h"

#include "storage/jetlexer.h"
#include "storage/query.h"
#include "storage/recordset.h"
#include "storage/sqlitevalue.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sqlcipher/sqlite3.h>

#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace velmara {

using storage::engineError;
using storage::Statement;

namespace {

constexpr int kBusyTimeoutMs = 2000;

// Statements that cannot run inside a transaction of ours (or manage one themselves).
bool runsOutsideTransaction(const QString& sql) {
    for (const storage::JetToken& t : storage::lexJet(sql)) {
        if (t.isBlankOrComment() || t.isOperator(QLatin1String(";")))
            continue;
        static const QStringList words = {"ATTACH",  "DETACH", "VACUUM",   "BEGIN",
                                          "COMMIT",  "END",    "ROLLBACK", "SAVEPOINT",
                                          "RELEASE", "PRAGMA", "SELECT"};
        return t.is(storage::JetToken::Word) && words.contains(t.value, Qt::CaseInsensitive);
    }
    return false;
}

} // namespace

Database::~Database() {
    close();
}

std::unique_ptr<Database> Database::open(const QString& path, const QString& connect,
                                         QString* error, bool mustExist) {
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return std::unique_ptr<Database>();
    };
    if (path.isEmpty())
        return fail(QStringLiteral("No database file given."));
    const QFileInfo info(path);
    const bool existed = info.exists();
    if (!existed && mustExist)
        return fail(QStringLiteral("The database file %1 does not exist.").arg(path));
    if (existed && !info.isFile())
        return fail(QStringLiteral("%1 is not a database file.").arg(path));

    sqlite3* db = nullptr;
    // CREATE also lets ATTACH make a new file (the compaction writes into one).
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    auto failOpen = [&](const QString& what) {
        QString text = QStringLiteral("Cannot open %1: %2").arg(path, what);
        const QStringList blocked = unwritableFiles(path);
        if (!blocked.isEmpty())
            text += QStringLiteral("; cannot write %1").arg(blocked.join(QStringLiteral(", ")));
        sqlite3_close_v2(db);
        if (!existed && QFileInfo(path).exists() && QFileInfo(path).size() == 0)
            QFile::remove(path);
        return fail(text);
    };
    if (rc != SQLITE_OK)
        return failOpen(engineError(db));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);

    const QString password = passwordOf(connect);
    if (!password.isEmpty()) {
        const QByteArray key =
            ("PRAGMA key = " + storage::jetStringLiteral(password) + ";").toUtf8();
        if (sqlite3_exec(db, key.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return failOpen(engineError(db));
    }
    // The key is only checked when the first page is read: a wrong key, a damaged file or
    // something that is no database at all fails here, before anything is written.
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
        const int code = sqlite3_errcode(db);
        if (code == SQLITE_NOTADB)
            return failOpen(QStringLiteral("wrong password, or the file is damaged or no "
                                           "database (%1)")
                                .arg(engineError(db)));
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            return failOpen(
                QStringLiteral("the file is locked by another program (%1)").arg(engineError(db)));
        return failOpen(engineError(db));
    }
    // WAL with full syncs: a committed value survives a power loss.
    if (sqlite3_exec(db,
                     "PRAGMA foreign_keys = ON; PRAGMA journal_mode = WAL; "
                     "PRAGMA synchronous = FULL;",
                     nullptr, nullptr, nullptr) != SQLITE_OK)
        return failOpen(engineError(db));

    std::unique_ptr<Database> result(new Database);
    result->m_db = db;
    result->m_path = path;
    result->m_connect = connect;
    if (error)
        error->clear();
    return result;
}

void Database::close() {
    const QVector<Recordset*> sets = m_recordsets;
    for (Recordset* set : sets)
        set->detachDatabase();
    m_recordsets.clear();
    const QVector<Query*> queries = std::exchange(m_queries, {});
    for (Query* query : queries)
        query->databaseClosed();
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_scopeDepth = 0;
    m_scopeFailed = false;
}

bool Database::isReadOnly() const {
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

bool Database::canWrite(QString* why) {
    auto refuse = [&](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (!m_db)
        return refuse(QStringLiteral("The database is closed."));
    if (isReadOnly())
        return refuse(QStringLiteral("%1 is open read-only").arg(m_path));
    if (!sqlite3_get_autocommit(m_db))
        return true; // inside a transaction of its own: it has written or will find out
    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const int code = sqlite3_errcode(m_db);
        // Another writer holds the lock: the file itself takes writes.
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
            return true;
        return refuse(engineError(m_db));
    }
    sqlite3_exec(m_db, "ROLLBACK;", nullptr, nullptr, nullptr);
    return true;
}

QStringList Database::unwritableFiles(const QString& path) {
    QStringList out;
    for (const QString& name :
         {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        const QByteArray encoded = QFile::encodeName(name);
        struct stat st {};
        if (::stat(encoded.constData(), &st) != 0 || ::access(encoded.constData(), W_OK) == 0)
            continue;
        out << QStringLiteral("%1 (mode %2, owner %3)")
                   .arg(name, QStringLiteral("0%1").arg(st.st_mode & 07777, 3, 8, QLatin1Char('0')),
                        QFileInfo(name).owner());
    }
    return out;
}

bool Database::reopenIfWritable() {
    if (!m_db)
        return false;
    QString why;
    if (canWrite(&why))
        return true;
    const QStringList blocked = unwritableFiles(m_path);
    if (!blocked.isEmpty()) {
        m_lastError = QStringLiteral("cannot write %1").arg(blocked.join(QStringLiteral(", ")));
        return false;
    }
    // The files look writable. Opening derives the key anew, which takes a
    // moment: after a new connection that could not write either, wait a while.
    static constexpr qint64 kReopenPauseMs = 10000;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_scopeDepth > 0 || (m_lastReopenMs >= 0 && now - m_lastReopenMs < kReopenPauseMs)) {
        m_lastError = why;
        return false;
    }
    QString error;
    std::unique_ptr<Database> fresh = open(m_path, m_connect, &error, true);
    if (!fresh || !fresh->canWrite(&error)) {
        m_lastReopenMs = now;
        m_lastError = error;
        return false;
    }
    m_lastReopenMs = -1;
    // Record sets prepare their statements on the handle each time they run;
    // queries prepare theirs again on their next use.
    for (Query* query : m_queries)
        query->dropStatement();
    sqlite3_close_v2(m_db);
    m_db = std::exchange(fresh->m_db, nullptr);
    return true;
}

void Database::attach(Recordset* set) {
    m_recordsets.append(set);
}

void Database::detach(Recordset* set) {
    m_recordsets.removeAll(set);
}

void Database::attachQuery(Query* query) {
    m_queries.append(query);
}

void Database::detachQuery(Query* query) {
    m_queries.removeAll(query);
}

std::unique_ptr<Query> Database::prepare(const QString& nativeSql) {
    return std::unique_ptr<Query>(new Query(this, nativeSql));
}

QStringList Database::quickCheckProblems() {
    Statement check;
    QString error;
    if (!check.prepare(m_db, QStringLiteral("PRAGMA quick_check"), &error))
        return {error};
    QStringList problems;
    int rc;
    while ((rc = check.step()) == SQLITE_ROW) {
        const QString line = check.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    if (rc != SQLITE_DONE)
        problems << engineError(m_db);
    return problems;
}

QString Database::engineVersion() {
    return QStringLiteral("SQLite %1").arg(QString::fromLatin1(sqlite3_libversion()));
}

sqlite3* storage::nativeHandle(const Database& db) {
    return db.handle();
}

void Database::setError(const QString& e) {
    m_lastError = e;
    if (m_scopeDepth > 0)
        m_scopeFailed = true;
}

qint64 Database::lastInsertId() const {
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

bool Database::runPlain(const char* sql) {
    if (!m_db) {
        setError(QStringLiteral("The database is closed."));
        return false;
    }
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        setError(engineError(m_db));
        return false;
    }
    return true;
}

bool Database::beginScope(QString* savepoint) {
    if (sqlite3_get_autocommit(m_db)) {
        savepoint->clear();
        // IMMEDIATE takes the write lock now (waiting up to the busy timeout), so the
        // commit later cannot fail on a lock.
        return runPlain("BEGIN IMMEDIATE;");
    }
    *savepoint = QStringLiteral("velmara_sp%1").arg(++m_savepoints);
    return runPlain(("SAVEPOINT " + *savepoint + ";").toUtf8().constData());
}

bool Database::commitScope(const QString& savepoint) {
    if (savepoint.isEmpty())
        return runPlain("COMMIT;");
    return runPlain(("RELEASE " + savepoint + ";").toUtf8().constData());
}

void Database::rollbackScope(const QString& savepoint) {
    if (!m_db)
        return;
    const QString error = m_lastError;
    const bool failed = m_scopeFailed;
    if (savepoint.isEmpty()) {
        if (!sqlite3_get_autocommit(m_db))
            runPlain("ROLLBACK;");
    } else if (!sqlite3_get_autocommit(m_db)) {
        runPlain(
            ("ROLLBACK TO " + savepoint + "; RELEASE " + savepoint + ";").toUtf8().constData());
    }
    m_lastError = error;
    m_scopeFailed = failed;
}

bool Database::runScript(const QString& nativeSql) {
    const QByteArray utf8 = nativeSql.toUtf8();
    const char* tail = utf8.constData();
    const char* end = tail + utf8.size();
    while (tail < end) {
        sqlite3_stmt* stmt = nullptr;
        const char* next = nullptr;
        if (sqlite3_prepare_v2(m_db, tail, int(end - tail), &stmt, &next) != SQLITE_OK) {
            setError(engineError(m_db));
            return false;
        }
        tail = next;
        if (!stmt)
            continue; // only blanks or a comment left
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            setError(engineError(m_db));
            sqlite3_finalize(stmt);
            return false;
        }
        sqlite3_finalize(stmt);
    }
    return true;
}

bool Database::execute(const QString& sql) {
    m_lastError.clear();
    if (!m_db) {
        setError(QStringLiteral("The database is closed."));
        return false;
    }
    const QString native = translateJetSql(sql);
    if (runsOutsideTransaction(native))
        return runScript(native);
    QString savepoint;
    if (!beginScope(&savepoint))
        return false;
    if (!runScript(native)) {
        rollbackScope(savepoint);
        return false;
    }
    if (!commitScope(savepoint)) {
        rollbackScope(savepoint);
        return false;
    }
    return true;
}

// Every ? of the statement needs its value: a missing one would silently become NULL.
bool Database::bindAll(Statement& stmt, const QVariantList& params, QString* error) {
    const int expected = sqlite3_bind_parameter_count(stmt.get());
    if (expected != params.size()) {
        *error = QStringLiteral("The statement takes %1 values, %2 were given.")
                     .arg(expected)
                     .arg(params.size());
        return false;
    }
    return stmt.bind(params, error);
}

bool Database::execute(const QString& sql, const QVariantList& params) {
    m_lastError.clear();
    if (!m_db) {
        setError(QStringLiteral("The database is closed."));
        return false;
    }
    QString savepoint;
    if (!beginScope(&savepoint))
        return false;
    Statement stmt;
    QString error;
    if (!stmt.prepare(m_db, translateJetSql(sql), &error) || !bindAll(stmt, params, &error)) {
        setError(error);
        rollbackScope(savepoint);
        return false;
    }
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        setError(engineError(m_db));
        rollbackScope(savepoint);
        return false;
    }
    if (!commitScope(savepoint)) {
        rollbackScope(savepoint);
        return false;
    }
    return true;
}

bool Database::prepareAndRun(const QString& nativeSql, const QVariantList& params) {
    Statement stmt;
    QString error;
    if (!stmt.prepare(m_db, nativeSql, &error) || !stmt.bind(params, &error)) {
        setError(error);
        return false;
    }
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) {
        setError(engineError(m_db));
        return false;
    }
    return true;
}

bool Database::transaction(const std::function<bool()>& fn) {
    m_lastError.clear();
    if (!m_db) {
        setError(QStringLiteral("The database is closed."));
        return false;
    }
    QString savepoint;
    if (!beginScope(&savepoint))
        return false;
    const bool outerFailed = m_scopeFailed;
    m_scopeFailed = false;
    ++m_scopeDepth;
    bool ok = false;
    try {
        ok = fn ? fn() : true;
    } catch (...) {
        --m_scopeDepth;
        m_scopeFailed = outerFailed;
        rollbackScope(savepoint);
        throw;
    }
    if (!m_db)
        return false; // closed inside fn: the engine rolled back
    --m_scopeDepth;
    const bool failed = m_scopeFailed;
    m_scopeFailed = outerFailed;
    if (ok && !failed) {
        if (commitScope(savepoint))
            return true;
        rollbackScope(savepoint);
        return false;
    }
    const QString error =
        failed ? m_lastError : QStringLiteral("The transaction was cancelled and rolled back.");
    rollbackScope(savepoint);
    m_lastError = error;
    return false;
}

QVariant Database::scalar(const QString& sql) {
    m_lastError.clear();
    Statement stmt;
    QString error;
    if (!stmt.prepare(m_db, translateJetSql(sql), &error)) {
        setError(error);
        return QVariant();
    }
    return firstValue(stmt);
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) {
    m_lastError.clear();
    if (!m_db) {
        setError(QStringLiteral("The database is closed."));
        return QVariant();
    }
    Statement stmt;
    QString error;
    if (!stmt.prepare(m_db, translateJetSql(sql), &error) || !bindAll(stmt, params, &error)) {
        setError(error);
        return QVariant();
    }
    return firstValue(stmt);
}

QVariant Database::firstValue(Statement& stmt) {
    const int rc = stmt.step();
    if (rc == SQLITE_ROW)
        return stmt.value(0);
    if (rc != SQLITE_DONE)
        setError(engineError(m_db));
    return QVariant();
}

std::unique_ptr<Recordset> Database::openRecordset(const QString& sql) {
    return std::make_unique<Recordset>(this, sql);
}

} // namespace velmara
