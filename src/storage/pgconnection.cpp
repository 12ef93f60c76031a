#include "storage/pgconnection.h"

#include <QCoroSignal>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QTimer>

#include <libpq-fe.h>

#include <cerrno>
#include <limits>
#include <poll.h>
#include <vector>

namespace velmara {

namespace {

using Wait = PgConnection::Wait;

QString errorOf(PGconn* conn) {
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

// The socket of a connection ready for a step, or the time up first: told once.
class SocketWait : public QObject {
    Q_OBJECT
public:
    SocketWait(int fd, QSocketNotifier::Type type, qint64 ms) : m_notifier(fd, type) {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] { finish(true); });
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, [this] { finish(false); });
        m_timer.start(int(std::min<qint64>(ms, std::numeric_limits<int>::max())));
    }
Q_SIGNALS:
    void finished(bool ready);

private:
    void finish(bool ready) {
        m_notifier.setEnabled(false);
        m_timer.stop();
        Q_EMIT finished(ready);
    }
    QSocketNotifier m_notifier;
    QTimer m_timer;
};

// Waits until the connection's socket can be read or written, while the event
// loop runs; false when the deadline passed first.
QCoro::Task<bool> socketReady(PGconn* conn, QSocketNotifier::Type type, QDeadlineTimer deadline) {
    const int fd = PQsocket(conn);
    if (fd < 0)
        co_return false;
    const qint64 left = deadline.remainingTime();
    if (left == 0)
        co_return false;
    // Nothing fires before the wait below lets the event loop run.
    SocketWait wait(fd, type, left < 0 ? std::numeric_limits<int>::max() : left);
    co_return co_await qCoro(&wait, &SocketWait::finished);
}

// Parameters as libpq takes them: text, or a null pointer for NULL.
struct BoundParams {
    explicit BoundParams(const QList<QVariant>& params) {
        texts.reserve(size_t(params.size()));
        for (const QVariant& p : params) {
            texts.push_back(p.isNull() ? QByteArray() : p.toString().toUtf8());
            values.push_back(p.isNull() ? nullptr : texts.back().constData());
        }
    }
    std::vector<QByteArray> texts;
    std::vector<const char*> values;
};

// Sends a statement: without parameters a text may hold several statements (a
// schema step); with them it is one statement and the values never become SQL.
bool sendStatement(PGconn* conn, const QString& sql, const BoundParams& bound) {
    const QByteArray text = sql.toUtf8();
    return bound.values.empty()
               ? PQsendQuery(conn, text.constData())
               : PQsendQueryParams(conn, text.constData(), int(bound.values.size()), nullptr,
                                   bound.values.data(), nullptr, nullptr, 0);
}

PgRows rowsOf(PGresult* result) {
    PgRows rows;
    rows.changed = QByteArray(PQcmdTuples(result)).toLongLong();
    const int n = PQntuples(result), columns = PQnfields(result);
    rows.rows.reserve(n);
    for (int r = 0; r < n; ++r) {
        QList<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(PQgetisnull(result, r, c)
                           ? QVariant()
                           : QVariant(QString::fromUtf8(PQgetvalue(result, r, c),
                                                        PQgetlength(result, r, c))));
        rows.rows.append(std::move(row));
    }
    return rows;
}

// Takes the next result; the last one counts, an error anywhere fails the
// statement. False once there is no further result.
bool takeResult(PGconn* conn, PgRows& rows, QString& error) {
    PGresult* result = PQgetResult(conn);
    if (!result)
        return false;
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK)
        rows = rowsOf(result);
    else if (error.isEmpty())
        error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    PQclear(result);
    return true;
}

void cancelStatement(PGconn* conn) {
    if (PGcancel* cancel = PQgetCancel(conn)) {
        char ignored[256];
        PQcancel(cancel, ignored, sizeof ignored);
        PQfreeCancel(cancel);
    }
}

// Waits on this thread until the socket can be read or written; false when
// the deadline passed first.
bool socketReadyHere(PGconn* conn, bool forReading, const QDeadlineTimer& deadline) {
    const int fd = PQsocket(conn);
    if (fd < 0)
        return false;
    pollfd p{fd, short(forReading ? POLLIN : POLLOUT), 0};
    for (;;) {
        const qint64 left = deadline.remainingTime();
        if (left == 0)
            return false;
        const int n = ::poll(&p, 1, int(left < 0 ? 60000 : std::min<qint64>(left, 60000)));
        if (n > 0)
            return true;
        if (n < 0 && errno != EINTR)
            return false;
    }
}

// The server's notices (a table that is not there to drop, ...) are not the
// user's concern.
void ignoreNotice(void*, const char*) {}

QString timedOut(Wait wait) {
    return QStringLiteral("the server did not answer within %1 s").arg(wait.count() / 1000.0);
}

} // namespace

PgConnection::~PgConnection() {
    close();
}

void PgConnection::close() {
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
}

bool PgConnection::endedByServer() {
    if (!m_conn)
        return true;
    if (m_busy)
        return false;
    // Twice: a server that ends a connection says why first, and the end of
    // the stream is seen by the read after that.
    if (PQconsumeInput(m_conn) && PQconsumeInput(m_conn) && PQstatus(m_conn) != CONNECTION_BAD)
        return false;
    close();
    return true;
}

QCoro::Task<Result<std::unique_ptr<PgConnection>>> PgConnection::open(QString conninfo, Wait wait) {
    const QDeadlineTimer deadline(wait);
    PGconn* conn = PQconnectStart(conninfo.toUtf8().constData());
    if (!conn)
        co_return Failure{QStringLiteral("out of memory")};
    std::unique_ptr<PgConnection> connection(new PgConnection(conn));
    if (PQstatus(conn) == CONNECTION_BAD)
        co_return Failure{errorOf(conn)};
    // libpq tells what to wait for before each step; the socket may change
    // between steps (another host, a second try without TLS).
    PostgresPollingStatusType step = PGRES_POLLING_WRITING;
    while (step != PGRES_POLLING_OK) {
        if (step == PGRES_POLLING_FAILED)
            co_return Failure{errorOf(conn)};
        const auto type =
            step == PGRES_POLLING_READING ? QSocketNotifier::Read : QSocketNotifier::Write;
        if (!co_await socketReady(conn, type, deadline))
            co_return Failure{timedOut(wait)};
        step = PQconnectPoll(conn);
    }
    if (PQsetnonblocking(conn, 1) != 0)
        co_return Failure{errorOf(conn)};
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    co_return std::move(connection);
}

QCoro::Task<Result<PgRows>> PgConnection::exec(QString sql, QList<QVariant> params, Wait wait) {
    if (!m_conn)
        co_return Failure{QStringLiteral("the connection to the server is closed")};
    if (m_busy)
        co_return Failure{QStringLiteral("the connection is running another statement")};
    m_busy = true;
    struct Idle {
        bool& busy;
        ~Idle() { busy = false; }
    } idle{m_busy};
    const QDeadlineTimer deadline(wait);
    if (!sendStatement(m_conn, sql, BoundParams(params)))
        co_return Failure{errorOf(m_conn)};
    // The statement goes out as the socket takes it.
    for (int left = PQflush(m_conn); left != 0; left = PQflush(m_conn)) {
        if (left < 0 || !co_await socketReady(m_conn, QSocketNotifier::Write, deadline)) {
            const QString error = left < 0 ? errorOf(m_conn) : timedOut(wait);
            close();
            co_return Failure{error};
        }
    }
    // Then its results as they come.
    PgRows rows;
    QString error;
    for (;;) {
        while (PQisBusy(m_conn)) {
            if (!co_await socketReady(m_conn, QSocketNotifier::Read, deadline) || !m_conn) {
                if (m_conn)
                    cancelStatement(m_conn);
                close();
                co_return Failure{timedOut(wait)};
            }
            if (!PQconsumeInput(m_conn)) {
                const QString lost = errorOf(m_conn);
                close();
                co_return Failure{lost};
            }
        }
        if (!takeResult(m_conn, rows, error))
            break;
    }
    if (!error.isEmpty())
        co_return Failure{error};
    co_return rows;
}

bool PgConnection::transactionFailed() const {
    return m_conn && PQtransactionStatus(m_conn) == PQTRANS_INERROR;
}

Result<std::unique_ptr<PgConnection>> PgConnection::openHere(const QString& conninfo, Wait wait) {
    const QDeadlineTimer deadline(wait);
    PGconn* conn = PQconnectStart(conninfo.toUtf8().constData());
    if (!conn)
        return Failure{QStringLiteral("out of memory")};
    std::unique_ptr<PgConnection> connection(new PgConnection(conn));
    if (PQstatus(conn) == CONNECTION_BAD)
        return Failure{errorOf(conn)};
    PostgresPollingStatusType step = PGRES_POLLING_WRITING;
    while (step != PGRES_POLLING_OK) {
        if (step == PGRES_POLLING_FAILED)
            return Failure{errorOf(conn)};
        if (!socketReadyHere(conn, step == PGRES_POLLING_READING, deadline))
            return Failure{timedOut(wait)};
        step = PQconnectPoll(conn);
    }
    if (PQsetnonblocking(conn, 1) != 0)
        return Failure{errorOf(conn)};
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);
    return connection;
}

Result<void> PgConnection::runHere(const QString& sql, const QList<QVariant>& params, Wait wait,
                                   const std::function<void(pg_result*)>& onResult) {
    if (!m_conn)
        return Failure{QStringLiteral("the connection to the server is closed")};
    if (m_busy)
        return Failure{QStringLiteral("the connection is running another statement")};
    const QDeadlineTimer deadline(wait);
    if (!sendStatement(m_conn, sql, BoundParams(params)))
        return Failure{errorOf(m_conn)};
    for (int left = PQflush(m_conn); left != 0; left = PQflush(m_conn)) {
        if (left < 0 || !socketReadyHere(m_conn, false, deadline)) {
            const QString error = left < 0 ? errorOf(m_conn) : timedOut(wait);
            close();
            return Failure{error};
        }
    }
    QString error;
    for (;;) {
        while (PQisBusy(m_conn)) {
            if (!socketReadyHere(m_conn, true, deadline)) {
                cancelStatement(m_conn);
                close();
                return Failure{timedOut(wait)};
            }
            if (!PQconsumeInput(m_conn)) {
                const QString lost = errorOf(m_conn);
                close();
                return Failure{lost};
            }
        }
        PGresult* result = PQgetResult(m_conn);
        if (!result)
            break;
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) {
            if (error.isEmpty())
                onResult(result);
        } else if (error.isEmpty()) {
            error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        }
        PQclear(result);
    }
    if (!error.isEmpty())
        return Failure{error};
    return {};
}

Result<PgRows> PgConnection::run(const QString& sql, const QList<QVariant>& params, Wait wait) {
    PgRows rows;
    const Result<void> done =
        runHere(sql, params, wait, [&](pg_result* result) { rows = rowsOf(result); });
    if (!done)
        return Failure{done.error()};
    return rows;
}

Result<qint64> PgConnection::visit(const QString& sql, const QList<QVariant>& params,
                                   const PgRowVisitor& visitor, Wait wait) {
    qint64 visited = 0;
    const Result<void> done = runHere(sql, params, wait, [&](pg_result* result) {
        visited = 0;
        const int n = PQntuples(result);
        for (int r = 0; r < n; ++r) {
            ++visited;
            if (!visitor(PgRowView(result, r)))
                break;
        }
    });
    if (!done)
        return Failure{done.error()};
    return visited;
}

bool PgRowView::isNull(int column) const {
    return PQgetisnull(m_result, m_row, column);
}

QByteArrayView PgRowView::text(int column) const {
    return QByteArrayView(PQgetvalue(m_result, m_row, column),
                          PQgetlength(m_result, m_row, column));
}

qint64 PgRowView::integer(int column) const {
    return QByteArray::fromRawData(PQgetvalue(m_result, m_row, column),
                                   PQgetlength(m_result, m_row, column))
        .toLongLong();
}

} // namespace velmara

#include "pgconnection.moc"
