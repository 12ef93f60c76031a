#include "data/serverschema.h"

#include "data/schema.h"
#include "storage/pgconnection.h"

namespace velmara {

QCoro::Task<Result<int>> serverSchemaVersion(PgConnection& server) {
    const auto table =
        co_await server.exec(QStringLiteral("SELECT to_regclass('velmara_schema') IS NOT NULL"));
    if (!table)
        co_return Failure{table.error()};
    if (table->value().toString() != QLatin1String("t"))
        co_return 0;
    const auto version =
        co_await server.exec(QStringLiteral("SELECT max(version) FROM velmara_schema"));
    if (!version)
        co_return Failure{version.error()};
    co_return version->value().toInt();
}

QCoro::Task<Result<int>> upgradeServerSchema(PgConnection& server) {
    const QVector<SchemaStep>& steps = serverSchemaSteps();
    const int latest = steps.isEmpty() ? 0 : steps.last().version;
    auto current = co_await serverSchemaVersion(server);
    if (!current)
        co_return Failure{current.error()};
    if (*current > latest)
        co_return Failure{QStringLiteral("The server's data was set up by a newer version of "
                                         "velmara (schema %1; this version knows up to %2).")
                              .arg(*current)
                              .arg(latest)};
    for (const SchemaStep& step : steps) {
        if (step.version <= *current)
            continue;
        // One transaction: the step and its number, or nothing.
        const auto done = co_await server.exec(
            QStringLiteral("BEGIN;\n%1\nUPDATE velmara_schema SET version = %2;\nCOMMIT;")
                .arg(step.sql)
                .arg(step.version));
        if (!done) {
            // Whatever part ran is undone; the connection is left without a transaction.
            (void)co_await server.exec(QStringLiteral("ROLLBACK"));
            co_return Failure{QStringLiteral("Schema step %1 failed on the server: %2")
                                  .arg(step.version)
                                  .arg(done.error())};
        }
        current = step.version;
    }
    co_return *current;
}

} // namespace velmara
