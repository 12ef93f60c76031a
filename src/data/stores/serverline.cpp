#include "data/stores/serverline.h"

namespace velmara {

ServerLine::ServerLine(QString conninfo, ServerWaits waits)
    : m_conninfo(std::move(conninfo)), m_waits(waits) {}

ServerLine::~ServerLine() = default;

void ServerLine::drop() {
    m_connection.reset();
}

Failure ServerLine::unreachable(const QString& reason) const {
    return Failure{m_unreachable.isEmpty() ? reason : m_unreachable.arg(reason)};
}

Result<PgConnection*> ServerLine::connection() {
    if (m_connection && !m_connection->endedByServer())
        return m_connection.get();
    if (m_depth > 0)
        return Failure{QStringLiteral("the connection to the server was lost")};
    auto opened = PgConnection::openHere(m_conninfo, m_waits.connect);
    if (!opened)
        return unreachable(opened.error());
    if (m_onConnect)
        if (const Result<void> checked = m_onConnect(**opened); !checked)
            return Failure{checked.error()};
    m_connection = std::move(*opened);
    ++m_made;
    return m_connection.get();
}

Result<PgRows> ServerLine::run(const QString& sql, const QList<QVariant>& params) {
    const auto connection = this->connection();
    if (!connection)
        return Failure{connection.error()};
    auto rows = (*connection)->run(sql, params, m_waits.statement);
    if (!rows && !(*connection)->isOpen())
        return unreachable(rows.error()); // lost on the way, or no answer in time
    return rows;
}

Result<qint64> ServerLine::visit(const QString& sql, const QList<QVariant>& params,
                                 const PgRowVisitor& visitor) {
    const auto connection = this->connection();
    if (!connection)
        return Failure{connection.error()};
    auto rows = (*connection)->visit(sql, params, visitor, m_waits.statement);
    if (!rows && !(*connection)->isOpen())
        return unreachable(rows.error());
    return rows;
}

Result<qint64> ServerLine::number(const QString& sql, const QList<QVariant>& params) {
    const auto rows = run(sql, params);
    if (!rows)
        return Failure{rows.error()};
    return rows->value().toLongLong();
}

Result<void> ServerLine::inTransaction(const std::function<Result<void>()>& work) {
    if (m_depth > 0) {
        ++m_depth;
        const Result<void> done = work();
        --m_depth;
        return done;
    }
    if (const auto begun = run(QStringLiteral("BEGIN")); !begun)
        return Failure{begun.error()};
    m_depth = 1;
    const Result<void> done = work();
    m_depth = 0;
    if (!m_connection || !m_connection->isOpen())
        return done ? Result<void>(Failure{QStringLiteral("the connection to the server was lost")})
                    : done;
    // A transaction with a failed statement in it only rolls back, whatever
    // the work made of that failure.
    if (done && !m_connection->transactionFailed()) {
        if (const auto committed =
                m_connection->run(QStringLiteral("COMMIT"), {}, m_waits.statement);
            !committed)
            return Failure{committed.error()};
        return {};
    }
    if (!m_connection->run(QStringLiteral("ROLLBACK"), {}, m_waits.statement))
        drop(); // a connection that cannot roll back is of no further use
    return done ? Result<void>(Failure{QStringLiteral("a statement of the transaction failed")})
                : done;
}

} // namespace velmara
