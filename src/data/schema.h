#pragma once
// Numbered schema steps of the two files. Each file records the number of the
// last step it has run (its schema version); opening runs the steps it lacks,
// each in one transaction, so a later velmara can change the schema without
// losing a user's data. A file from a newer velmara is refused untouched.
#include <QString>
#include <QVector>

namespace velmara {

class Database;

struct SchemaStep {
    int version;
    QString sql;
};

enum class UpgradeResult { UpToDate, Upgraded, NewerFile, Failed };

// The steps of the master and the user file, oldest first.
const QVector<SchemaStep>& masterSchemaSteps();
const QVector<SchemaStep>& userSchemaSteps();
// The steps of the shared user data on a PostgreSQL server (data/serverschema.h).
const QVector<SchemaStep>& serverSchemaSteps();
// The delivered rows of a new master file.
QString masterSeedRows();

int schemaVersion(Database& db);
UpgradeResult upgradeSchema(Database& db, const QVector<SchemaStep>& steps, QString* error);

} // namespace velmara
