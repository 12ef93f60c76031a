#include "data/serverschema.h"

#include "data/schema.h"
#include "storage/pgconnection.h"

namespace velmara {

namespace {
// The lock that lets one station at a time look at and bring up the schema.
constexpr const char* kSchemaLock = "SELECT pg_advisory_xact_lock(1986358381)";
} // namespace

Result<int> serverSchemaVersion(PgConnection& server) {
    const auto table =
        server.run(QStringLiteral("SELECT to_regclass('velmara_schema') IS NOT NULL"));
    if (!table)
        return Failure{table.error()};
    if (table->value().toString() != QLatin1String("t"))
        return 0;
    const auto version = server.run(QStringLiteral("SELECT max(version) FROM velmara_schema"));
    if (!version)
        return Failure{version.error()};
    return version->value().toInt();
}

Result<int> upgradeServerSchema(PgConnection& server) {
    const QVector<SchemaStep>& steps = serverSchemaSteps();
    const int latest = steps.isEmpty() ? 0 : steps.last().version;
    // One transaction for the look and every step: two stations starting at
    // once run the steps once, and a step that fails leaves nothing.
    if (const auto begun = server.run(QStringLiteral("BEGIN")); !begun)
        return Failure{begun.error()};
    auto fail = [&](const QString& why) -> Result<int> {
        (void)server.run(QStringLiteral("ROLLBACK"));
        return Failure{why};
    };
    if (const auto locked = server.run(QString::fromLatin1(kSchemaLock)); !locked)
        return fail(locked.error());
    const auto current = serverSchemaVersion(server);
    if (!current)
        return fail(current.error());
    if (*current > latest)
        return fail(QStringLiteral("The server's data was set up by a newer version of "
                                   "velmara (schema %1; this version knows up to %2).")
                        .arg(*current)
                        .arg(latest));
    int version = *current;
    for (const SchemaStep& step : steps) {
        if (step.version <= version)
            continue;
        const auto done = server.run(QStringLiteral("%1\nUPDATE velmara_schema SET version = %2;")
                                         .arg(step.sql)
                                         .arg(step.version));
        if (!done)
            return fail(QStringLiteral("Schema step %1 failed on the server: %2")
                            .arg(step.version)
                            .arg(done.error()));
        version = step.version;
    }
    if (const auto committed = server.run(QStringLiteral("COMMIT")); !committed)
        return Failure{committed.error()};
    return version;
}

} // namespace velmara
