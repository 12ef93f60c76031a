#include "data/databases.h"

#include "base/core/programfolder.h"
#include "data/schema.h"
#include "data/session.h"
#include "storage/database.h"
#include "storage/jetlexer.h"
#include "storage/recordset.h"
#include "storage/sqlitevalue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <cstdio>

namespace velmara {

static const char* const kPassword = "kqz";

// Creates one file at a temporary name and moves it into place only when it is
// complete, so an interrupted first start never leaves a half-made file behind.
bool createFileAt(const QString& path, const QVector<SchemaStep>& steps, const QString& rows,
                  QString* error) {
    if (QFileInfo::exists(path))
        return true;
    const QString tmp = path + QStringLiteral(".new");
    QFile::remove(tmp);
    {
        QString err;
        auto db = Database::open(tmp, connectString(), &err, false);
        if (!db) {
            if (error)
                *error = err;
            return false;
        }
        if (upgradeSchema(*db, steps, &err) == UpgradeResult::Failed ||
            (!rows.isEmpty() && !db->transaction([&] { return db->execute(rows); }))) {
            if (error)
                *error = err.isEmpty() ? db->lastError() : err;
            db->close();
            QFile::remove(tmp);
            return false;
        }
        db->execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        db->close();
    }
    QFile::remove(tmp + QStringLiteral("-wal"));
    QFile::remove(tmp + QStringLiteral("-shm"));
    if (!QFile::rename(tmp, path)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(path);
        QFile::remove(tmp);
        return false;
    }
    return true;
}

QStringList quickCheckProblemsOf(Database& db) {
    return db.quickCheckProblems();
}

QString connectString() {
    return QStringLiteral("MS Access;PWD=") + QLatin1String(kPassword);
}

bool createMissingDatabaseFiles(const ProgramFolder& folder, QString* error) {
    if (!QDir().mkpath(folder.dataDir())) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(folder.dataDir());
        return false;
    }
    return createFileAt(folder.masterPath(), masterSchemaSteps(), masterSeedRows(), error) &&
           createFileAt(folder.userPath(), userSchemaSteps(), QString(), error);
}

QString akkutypenQuery(const QString& usedCharger, const QString& language) {
    const bool qmt4 = usedCharger == QLatin1String("QMT4");
    return QStringLiteral("SELECT Akkutypen.Nr, Akkutypen.Nennspannung, Akkutypen.") +
           (qmt4 ? QStringLiteral("ZminQMT4") : QStringLiteral("ZminQMT1")) +
           QStringLiteral(" AS ZMin, ") + QStringLiteral("Akkutypen.") +
           (qmt4 ? QStringLiteral("ZmaxQMT4") : QStringLiteral("ZmaxQMT1")) +
           QStringLiteral(" AS ZMax, NLSResources.ResourceText ") +
           QStringLiteral("FROM Akkutypen, NLSResources ") +
           QStringLiteral("WHERE Akkutypen.SprachId=NLSResources.ResourceID ") +
           QStringLiteral("AND Akkutypen.Usable<>0 ") +
           QStringLiteral("AND NLSResources.SprachCode=") + storage::jetStringLiteral(language) +
           QStringLiteral(" ") + QStringLiteral("ORDER BY NLSResources.ResourceText ASC;");
}

QString geraeteModiQuery(const QString& language) {
    return QStringLiteral("SELECT GeraeteModi.ModusNr,GeraeteModi.LBlock, GeraeteModi.EBlock, ") +
           QStringLiteral("GeraeteModi.TSel, GeraeteModi.FormCbo, GeraeteModi.TageText, ") +
           QStringLiteral("GeraeteModi.Ladeschluss, GeraeteModi.Entladeschluss, ") +
           QStringLiteral("NLSResources.ResourceText ") +
           QStringLiteral("FROM GeraeteModi,NLSResources ") +
           QStringLiteral("WHERE GeraeteModi.SprachId=NLSResources.ResourceID ") +
           QStringLiteral("AND NLSResources.SprachCode=") + storage::jetStringLiteral(language) +
           QStringLiteral(";");
}

QString formierModiQuery() {
    return QStringLiteral("SELECT FormierModi.Modus, FormierModi.SendeCode ") +
           QStringLiteral("FROM FormierModi;");
}

QString minMaxWerteQuery(const QString& usedCharger) {
    if (usedCharger == QLatin1String("QMT4"))
        return QStringLiteral(
            "SELECT Bez, Kommentar, MinQmt4 as Min, MaxQmt4 as Max FROM MinMaxWerte;");
    return QStringLiteral(
        "SELECT Bez, Kommentar, MinQmt1 as Min, MaxQmt1 as Max FROM MinMaxWerte;");
}

QString languageListQuery(const QString& language) {
    return QStringLiteral("SELECT Sprachen.SprachCode, NLSResources.ResourceText ") +
           QStringLiteral("FROM Sprachen, NLSResources ") +
           QStringLiteral("WHERE Sprachen.SprachResID = NLSResources.ResourceID ") +
           QStringLiteral("AND Sprachen.Usable<>0 ") +
           QStringLiteral("AND NLSResources.SprachCode=") + storage::jetStringLiteral(language) +
           QStringLiteral("ORDER BY NLSResources.ResourceText ASC");
}

// Copies the user file S into T without its free space; T keeps the key and the
// schema version of S.
bool exportCompactedCopy(const QString& source, const QString& target, QString* error) {
    QFile::remove(target);
    if (!QFileInfo::exists(source)) {
        if (error)
            *error = QStringLiteral("%1 is missing").arg(source);
        return false;
    }
    // Opened with the right to create files, which ATTACH needs for the new file.
    auto db = Database::open(source, connectString(), error, false);
    if (!db)
        return false;
    const int version = schemaVersion(*db);
    bool ok = db->execute(QStringLiteral("ATTACH DATABASE %1 AS compacted KEY %2")
                              .arg(storage::jetStringLiteral(target),
                                   storage::jetStringLiteral(QLatin1String(kPassword)))) &&
              db->execute(QStringLiteral("SELECT sqlcipher_export('compacted')")) &&
              db->execute(QStringLiteral("PRAGMA compacted.user_version = %1").arg(version)) &&
              db->execute(QStringLiteral("DETACH DATABASE compacted"));
    if (!ok && error)
        *error = db->lastError();
    db->close();
    return ok;
}

// The number of rows of every table of a file, by table name.
static bool rowCounts(Database& db, QMap<QString, qint64>* counts, QString* error) {
    auto tables = db.openRecordset(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    if (!tables->isValid()) {
        if (error)
            *error = tables->error();
        return false;
    }
    for (; !tables->isEOF(); tables->moveNext()) {
        const QString name = tables->text(QStringLiteral("name"));
        const QVariant n =
            db.scalar(QStringLiteral("SELECT count(*) FROM ") + storage::quoteIdentifier(name));
        if (!n.isValid()) {
            if (error)
                *error = db.lastError();
            return false;
        }
        counts->insert(name, n.toLongLong());
    }
    return true;
}

bool checkCompactedCopy(const QString& source, const QString& target, QString* error) {
    auto fail = [&](const QString& why) {
        if (error && !why.isEmpty())
            *error = why;
        return false;
    };
    QString err;
    auto original = Database::open(source, connectString(), &err, true);
    if (!original)
        return fail(err);
    auto copy = Database::open(target, connectString(), &err, true);
    if (!copy)
        return fail(err);
    if (schemaVersion(*copy) != schemaVersion(*original))
        return fail(QStringLiteral("%1 has another schema version than %2").arg(target, source));
    const QStringList problems = quickCheckProblemsOf(*copy);
    if (!problems.isEmpty())
        return fail(QStringLiteral("%1 is damaged: %2").arg(target, problems.first()));
    QMap<QString, qint64> before, after;
    if (!rowCounts(*original, &before, &err) || !rowCounts(*copy, &after, &err))
        return fail(err);
    if (before != after)
        return fail(QStringLiteral("%1 does not hold the rows of %2").arg(target, source));
    return true;
}

} // namespace velmara
