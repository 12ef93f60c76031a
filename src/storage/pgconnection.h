#pragma once
// A connection to a PostgreSQL server that never blocks its thread: opening it
// and every statement run through libpq's asynchronous calls, driven by the
// event loop, and each ends after a bounded wait. The connection string is
// libpq's own ("host=... dbname=...", "service=velmara"), so passwords come
// from where libpq takes them (.pgpass, the service file, PGPASSWORD) and
// sslmode and the other options work as users of PostgreSQL expect.
#include "base/core/result.h"

#include <QByteArrayView>
#include <QCoroTask>
#include <QList>
#include <QString>
#include <QVariant>

#include <chrono>
#include <functional>
#include <memory>

struct pg_conn;
struct pg_result;

namespace velmara {

// The rows of a statement as text (a NULL is a null QVariant), and how many
// rows it changed.
struct PgRows {
    QList<QList<QVariant>> rows;
    qint64 changed = 0;
    QVariant value(int row = 0, int column = 0) const {
        return row < rows.size() && column < rows[row].size() ? rows[row][column] : QVariant();
    }
};

// One row of a result while it is visited (the texts are valid only then).
class PgRowView {
public:
    PgRowView(const pg_result* result, int row) : m_result(result), m_row(row) {}
    bool isNull(int column) const;
    QByteArrayView text(int column) const;
    qint64 integer(int column) const;

private:
    const pg_result* m_result;
    int m_row;
};
// Called for each row; false skips the rest.
using PgRowVisitor = std::function<bool(const PgRowView&)>;

class PgConnection {
public:
    using Wait = std::chrono::milliseconds;
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Opens a connection; the failure names what libpq says (wrong password,
    // refused, no TLS where it is required) or that the server did not answer
    // within the wait.
    static QCoro::Task<Result<std::unique_ptr<PgConnection>>> open(QString conninfo,
                                                                   Wait wait = Wait(10000));

    // Runs one statement with $1, $2, ... bound to params (a null QVariant is
    // NULL; every other value goes as its text); without params the text may
    // hold several statements, run as one transaction. A statement that does not end
    // within the wait is cancelled and the connection is closed.
    QCoro::Task<Result<PgRows>> exec(QString sql, QList<QVariant> params = {},
                                     Wait wait = Wait(10000));

    // The same two on a thread that may wait (never the user interface's): the
    // call returns when the server answered or the wait is over.
    static Result<std::unique_ptr<PgConnection>> openHere(const QString& conninfo,
                                                          Wait wait = Wait(10000));
    Result<PgRows> run(const QString& sql, const QList<QVariant>& params = {},
                       Wait wait = Wait(10000));
    // Visits the rows of one statement without copying them; the number of rows.
    Result<qint64> visit(const QString& sql, const QList<QVariant>& params,
                         const PgRowVisitor& visitor, Wait wait = Wait(10000));

    // A statement inside the open transaction failed: it can only roll back.
    bool transactionFailed() const;

    // The connection must outlive a statement it runs.
    bool isOpen() const { return m_conn != nullptr; }
    // Between statements: whether the server has ended the connection
    // meanwhile (a restart, a closed socket), read from what has arrived
    // without waiting; such a connection is closed.
    bool endedByServer();

private:
    explicit PgConnection(pg_conn* conn) : m_conn(conn) {}
    void close();
    // Runs a statement on this thread; onResult sees each result that succeeded.
    Result<void> runHere(const QString& sql, const QList<QVariant>& params, Wait wait,
                         const std::function<void(pg_result*)>& onResult);

    pg_conn* m_conn = nullptr;
    bool m_busy = false;
};

} // namespace velmara
