#include "data/schema.h"

#include "storage/database.h"

#include <QFile>

static void initSeedResource() {
    Q_INIT_RESOURCE(seed);
}

namespace velmara {

namespace {
QString resourceText(const QString& name) {
    initSeedResource();
    QFile f(QStringLiteral(":/seed/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}
} // namespace

const QVector<SchemaStep>& masterSchemaSteps() {
    static const QVector<SchemaStep> steps{{1, resourceText("master-schema.sql")}};
    return steps;
}

const QVector<SchemaStep>& userSchemaSteps() {
    static const QVector<SchemaStep> steps{{1, resourceText("user-schema.sql")},
                                           {2, resourceText("user-schema-2.sql")},
                                           {3, resourceText("user-schema-3.sql")}};
    return steps;
}

const QVector<SchemaStep>& serverSchemaSteps() {
    static const QVector<SchemaStep> steps{{1, resourceText("server-schema-1.sql")}};
    return steps;
}

QString masterSeedRows() {
    return resourceText("master-rows.sql");
}

int schemaVersion(Database& db) {
    return db.scalar("PRAGMA user_version").toInt();
}

UpgradeResult upgradeSchema(Database& db, const QVector<SchemaStep>& steps, QString* error) {
    const int latest = steps.isEmpty() ? 0 : steps.last().version;
    const int current = schemaVersion(db);
    if (current > latest) {
        if (error)
            *error = QStringLiteral("The file was written by a newer version of velmara "
                                    "(schema %1; this version knows up to %2).")
                         .arg(current)
                         .arg(latest);
        return UpgradeResult::NewerFile;
    }
    bool upgraded = false;
    for (const SchemaStep& step : steps) {
        if (step.version <= current)
            continue;
        bool ok = db.transaction([&] {
            return !step.sql.trimmed().isEmpty() && db.execute(step.sql) &&
                   db.execute(QStringLiteral("PRAGMA user_version = %1").arg(step.version));
        });
        if (!ok) {
            if (error)
                *error = QStringLiteral("Schema step %1 failed: %2")
                             .arg(step.version)
                             .arg(db.lastError());
            return UpgradeResult::Failed;
        }
        upgraded = true;
    }
    return upgraded ? UpgradeResult::Upgraded : UpgradeResult::UpToDate;
}

} // namespace velmara
