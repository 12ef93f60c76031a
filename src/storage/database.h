#pragma once
// The storage layer: the record-set vocabulary the program speaks (add, edit,
// update, delete, move, find, execute) over SQLCipher files.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

struct sqlite3;

namespace velmara {

class Database;
class Query;
class Recordset;
namespace storage {
class Statement;
sqlite3* nativeHandle(const Database& db);
} // namespace storage

class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing file or creates a new one. connect is the connect string
    // "MS Access;PWD=secret": the password becomes the file's key. The open fails
    // (null result, error text set) when the file cannot be opened, is locked by
    // another writer, is keyed with another password or is damaged; the file is
    // left as it was. With mustExist a missing file is an error too.
    static std::unique_ptr<Database> open(const QString& path, const QString& connect,
                                          QString* error = nullptr, bool mustExist = true);

    // Executes one or more statements written in the program's dialect
    // (DELETE * FROM, True/False, [names]). False with lastError() on failure;
    // a failing statement changes nothing.
    bool execute(const QString& sql);
    // One statement with ? marks bound to params in order (user text never goes
    // into the statement itself). False with lastError() on failure.
    bool execute(const QString& sql, const QVariantList& params);

    // Opens an updatable record set on a query. Never null: a query that fails
    // gives a record set with isValid() false and the error in error().
    std::unique_ptr<Recordset> openRecordset(const QString& sql);

    // Prepares one statement in the engine's plain dialect (? marks, no
    // translation) to be run many times. Never null: check isValid().
    std::unique_ptr<Query> prepare(const QString& nativeSql);

    // Runs fn inside one transaction: committed when fn returns true, rolled back
    // otherwise (or when a statement fails).
    bool transaction(const std::function<bool()>& fn);

    // The value of the first column of the first row of a query, or an invalid QVariant.
    QVariant scalar(const QString& sql);
    // The same with ? marks bound to params in order.
    QVariant scalar(const QString& sql, const QVariantList& params);

    void close();
    bool isOpen() const { return m_db != nullptr; }
    // A file that was write-protected when it was opened is read on a read-only
    // connection, which stays so.
    bool isReadOnly() const;
    // Whether the connection takes a write now (it briefly takes the write lock
    // to find out). A connection can be read-only without isReadOnly(): the main
    // file was writable at its opening, its -wal or -shm file was not. False with
    // the reason in *why.
    bool canWrite(QString* why = nullptr);
    // A connection that cannot write is opened anew once the files can be
    // written again (record sets stay attached); a new connection replaces the
    // old one only when it can write. True when the connection can write; else
    // false with the reason (naming a file that cannot be written) in lastError().
    bool reopenIfWritable();
    // The file and its -wal and -shm companions that exist and that this process
    // cannot write, each as "path (mode 0444, owner name)".
    static QStringList unwritableFiles(const QString& path);
    const QString& path() const { return m_path; }
    // The connect string the file was opened with (for another connection to it).
    const QString& connect() const { return m_connect; }
    const QString& lastError() const { return m_lastError; }

    // The key of the last row inserted on this connection.
    qint64 lastInsertId() const;

    // The findings of the engine's quick integrity check, empty when the file is sound.
    QStringList quickCheckProblems();
    // The engine's name and version, "SQLite 3.x.y".
    static QString engineVersion();

    // The password of a connect string "...;PWD=secret" (case-insensitive key, empty when none).
    static QString passwordOf(const QString& connect);

private:
    Database() = default;
    friend class Recordset;
    friend class Query;
    friend sqlite3* storage::nativeHandle(const Database& db);
    sqlite3* handle() const { return m_db; }
    void attachQuery(Query* query);
    void detachQuery(Query* query);
    // Runs one statement in the engine's own dialect with bound parameters.
    bool prepareAndRun(const QString& nativeSql, const QVariantList& params = {});
    bool runPlain(const char* sql);
    bool bindAll(storage::Statement& stmt, const QVariantList& params, QString* error);
    QVariant firstValue(storage::Statement& stmt);
    bool runScript(const QString& nativeSql);
    bool beginScope(QString* savepoint);
    bool commitScope(const QString& savepoint);
    void rollbackScope(const QString& savepoint);
    void setError(const QString& e);
    void attach(Recordset* set);
    void detach(Recordset* set);

    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_connect;
    QString m_lastError;
    int m_scopeDepth = 0;
    bool m_scopeFailed = false; // a statement failed inside the innermost transaction
    int m_savepoints = 0;       // savepoints named so far (each gets a name of its own)
    QVector<Recordset*> m_recordsets;
    QVector<Query*> m_queries;
    qint64 m_lastReopenMs = -1; // when the last new connection could not write
};

// Translates the program's dialect into SQLite's: DELETE * FROM -> DELETE FROM,
// True/False -> 1/0, [name] -> "name". Text inside quotes is left alone.
QString translateJetSql(const QString& sql);

} // namespace velmara
