#pragma once
// Small helpers around the engine's C API shared by the database and the record sets.
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace velmara {
class Database;
}

namespace velmara::storage {

// The connection under a database, for the storage layer's own code (and the
// benchmarks that time the engine alone).
sqlite3* nativeHandle(const Database& db);

// A prepared statement that finalizes itself.
class Statement {
public:
    Statement() = default;
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Prepares the first statement of sql. False with the engine's message in *error.
    bool prepare(sqlite3* db, const QString& sql, QString* error);
    // Binds params (1-based positions in order). False with *error on a failure.
    bool bind(const QVariantList& params, QString* error);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    QVariant value(int column) const;
    int columnCount() const;
    QString columnName(int column) const;
    sqlite3_stmt* get() const { return m_stmt; }
    void finalize();

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// The value of one column of the current row: qlonglong, double, QString,
// QByteArray, or an invalid QVariant for NULL.
QVariant columnValue(sqlite3_stmt* stmt, int column);
// Binds a value: bool as 1/0, numbers, text, blobs, dates as ISO text, null.
int bindValue(sqlite3_stmt* stmt, int index, const QVariant& value);
// "name" with inner quotes doubled.
QString quoteIdentifier(const QString& name);
// The engine's message for the last failure on db.
QString engineError(sqlite3* db);
// The engine's message made readable where it hides the cause: a full disk is
// reported by the engine as "database or disk is full" or, when the operating
// system refused a write for want of space, as a mere "disk I/O error".
QString describeEngineFailure(const QString& message, int extendedCode, int systemErrno);

} // namespace velmara::storage
