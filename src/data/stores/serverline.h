#pragma once
// The connection to the server as the stores reach it on the thread that runs
// them (never the user interface's): opened at first use and again after it
// was lost (also when the server ended it while it stood idle, so the first
// call after a server's restart does not fail), every statement bounded by its
// wait. Inside a transaction a lost
// connection is not replaced: the rest of the transaction fails, and the
// server has thrown away what it had done.
#include "base/core/result.h"
#include "storage/pgconnection.h"

#include <QString>

#include <functional>
#include <memory>

namespace velmara {

struct ServerWaits {
    PgConnection::Wait connect{5000};
    PgConnection::Wait statement{10000};
};

class ServerLine {
public:
    explicit ServerLine(QString conninfo, ServerWaits waits = {});
    ~ServerLine();

    Result<PgRows> run(const QString& sql, const QList<QVariant>& params = {});
    // Visits the rows of a statement without copying them; the number visited.
    Result<qint64> visit(const QString& sql, const QList<QVariant>& params,
                         const PgRowVisitor& visitor);
    // The first column of the first row as a number (0 without a row).
    Result<qint64> number(const QString& sql, const QList<QVariant>& params = {});
    // Runs work as one transaction: all of its statements, or none when it fails.
    // A transaction inside another is part of it.
    Result<void> inTransaction(const std::function<Result<void>()>& work);
    bool inTransaction() const { return m_depth > 0; }

    // Runs on each new connection before anything else (the schema's check); a
    // failure closes the connection and is the failure of the call that opened it.
    void setOnConnect(std::function<Result<void>(PgConnection&)> check) {
        m_onConnect = std::move(check);
    }

    // How a failure to reach the server reads (%1: what libpq says), in the
    // user's language; "" leaves libpq's text alone.
    void setUnreachableText(QString text) { m_unreachable = std::move(text); }

    // Ends the connection (the server drops what it held for it).
    void drop();
    // How many connections were made so far: a new one holds nothing the
    // old one held on the server.
    int connectionsMade() const { return m_made; }

private:
    Result<PgConnection*> connection();
    Failure unreachable(const QString& reason) const;

    QString m_conninfo;
    ServerWaits m_waits;
    std::unique_ptr<PgConnection> m_connection;
    std::function<Result<void>(PgConnection&)> m_onConnect;
    QString m_unreachable;
    int m_depth = 0;
    int m_made = 0;
};

} // namespace velmara
