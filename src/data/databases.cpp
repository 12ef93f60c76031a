#include "data/databases.h"

#include "data/schema.h"
#include "storage/database.h"
#include "storage/jetlexer.h"
#include "storage/recordset.h"
#include "storage/sqlitevalue.h"
#include "base/core/messages.h"
#include "base/core/programfolder.h"
#include "data/textstore.h"
#include "data/settingsstore.h"
#include "base/core/errorlog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <cstdio>

#include <sqlcipher/sqlite3.h>

namespace velmara {

namespace {

std::unique_ptr<Database> g_master;
std::unique_ptr<Database> g_user;

const char* const kPassword = "kqz";

// Creates one file at a temporary name and moves it into place only when it is
// complete, so an interrupted first start never leaves a half-made file behind.
bool createFile(const QString& path, const QVector<SchemaStep>& steps, const QString& rows,
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

void fatal(const QString& firstLine, const QString& reason) {
    Message m;
    m.text =
        firstLine + QLatin1Char('\r') + QStringLiteral(" Program without Database not runable! ");
    if (!reason.isEmpty())
        m.text += QStringLiteral("\n\n") + reason;
    showMessage(m);
}

// The findings of the engine's quick integrity check, empty when the file is sound.
QStringList quickCheckProblems(Database& db) {
    storage::Statement check;
    QString error;
    if (!check.prepare(db.handle(), QStringLiteral("PRAGMA quick_check"), &error))
        return {error};
    QStringList problems;
    int rc;
    while ((rc = check.step()) == SQLITE_ROW) {
        const QString line = check.value(0).toString();
        if (line != QLatin1String("ok"))
            problems << line;
    }
    if (rc != SQLITE_DONE)
        problems << storage::engineError(db.handle());
    return problems;
}

// A damaged page deep inside a file does not stop it from opening; it shows
// only when that page is read. The quick check reads every page once at start,
// so the user learns of it (and can restore a copy) before more is lost.
void warnWhenDamaged(Database& db) {
    const QStringList problems = quickCheckProblems(db);
    if (problems.isEmpty())
        return;
    const QString path = QDir::toNativeSeparators(db.path());
    ErrorLog::instance().writeSignature(QStringLiteral("Damaged database file"));
    ErrorLog::instance().writeEntry(path);
    for (const QString& problem : problems)
        ErrorLog::instance().writeEntry(problem);
    Message m;
    m.text = QStringLiteral("The database file %1 is damaged:").arg(path) + QLatin1Char('\r') +
             problems.first() + QLatin1Char('\r') +
             QStringLiteral("velmara goes on with it, but values may be missing or wrong. "
                            "Restore a copy of the file if you have one.");
    m.icon = MsgIcon::Exclamation;
    showMessage(m);
}

std::unique_ptr<Database> openFile(const QString& path, const QVector<SchemaStep>& steps,
                                   const QString& rows, const QString& firstLine) {
    QString err;
    const ProgramFolder& folder = programFolder();
    if (!QDir().mkpath(folder.dataDir()) || !createFile(path, steps, rows, &err)) {
        fatal(firstLine, err);
        return nullptr;
    }
    auto db = Database::open(path, connectString(), &err, true);
    if (!db) {
        fatal(firstLine, err);
        return nullptr;
    }
    UpgradeResult r = upgradeSchema(*db, steps, &err);
    if (r == UpgradeResult::NewerFile || r == UpgradeResult::Failed) {
        db->close();
        fatal(firstLine, err);
        return nullptr;
    }
    warnWhenDamaged(*db);
    return db;
}

} // namespace

QString connectString() {
    return QStringLiteral("MS Access;PWD=") + QLatin1String(kPassword);
}

bool createMissingDatabaseFiles(const ProgramFolder& folder, QString* error) {
    if (!QDir().mkpath(folder.dataDir())) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(folder.dataDir());
        return false;
    }
    return createFile(folder.masterPath(), masterSchemaSteps(), masterSeedRows(), error) &&
           createFile(folder.userPath(), userSchemaSteps(), QString(), error);
}

bool openMasterDatabase() {
    g_master = openFile(programFolder().masterPath(), masterSchemaSteps(), masterSeedRows(),
                        QStringLiteral("Error in Connecting velmara.mdb."));
    return g_master != nullptr;
}

bool openUserDatabase() {
    g_user = openFile(programFolder().userPath(), userSchemaSteps(), QString(),
                      QStringLiteral("Error in Connecting veluser.mdb"));
    return g_user != nullptr;
}

Database* masterDatabase() {
    return g_master.get();
}
Database* userDatabase() {
    return g_user.get();
}

void closeDatabases() {
    closeSharedRecordsets();
    SettingsStore::instance().release();
    TextStore::instance().release();
    if (g_user)
        g_user->close();
    if (g_master)
        g_master->close();
    g_user.reset();
    g_master.reset();
}

SharedRecordsets& shared() {
    static SharedRecordsets sets;
    return sets;
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
           QStringLiteral("AND Akkutypen.Usable=True ") +
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
           QStringLiteral("AND Sprachen.Usable=True ") +
           QStringLiteral("AND NLSResources.SprachCode=") + storage::jetStringLiteral(language) +
           QStringLiteral("ORDER BY NLSResources.ResourceText ASC");
}

bool openSharedRecordsets() {
    SharedRecordsets& s = shared();
    SettingsStore& settings = SettingsStore::instance();
    s.sqlAkkutypen =
        akkutypenQuery(settings.getSetting("UsedCharger"), settings.getSetting("UsedLanguage"));
    s.sqlGeraeteModi = geraeteModiQuery(settings.getSetting("UsedLanguage"));
    s.sqlFormierModi = formierModiQuery();
    s.sqlMinMaxWerte = minMaxWerteQuery(settings.getSetting("UsedCharger"));
    s.sqlProgramme = QStringLiteral("SELECT * FROM Programme ORDER BY Bez");
    s.sqlAkkus = QStringLiteral("SELECT * FROM Akkus ORDER BY AkkuName");
    s.sqlMessWerte = QStringLiteral("SELECT * FROM MessWerte");
    s.sqlTempMessWerte = QStringLiteral("SELECT * FROM TempMessWerte");
    s.sqlDiagramPoints = QStringLiteral("SELECT * FROM DiagramPoints ORDER BY ID");
    if (!g_master || !g_user)
        return false;
    s.akkutypen = g_master->openRecordset(s.sqlAkkutypen);
    s.geraeteModi = g_master->openRecordset(s.sqlGeraeteModi);
    s.formierModi = g_master->openRecordset(s.sqlFormierModi);
    s.minMaxWerte = g_master->openRecordset(s.sqlMinMaxWerte);
    s.programme = g_user->openRecordset(s.sqlProgramme);
    s.akkus = g_user->openRecordset(s.sqlAkkus);
    s.messWerte = g_user->openRecordset(s.sqlMessWerte);
    s.tempMessWerte = g_user->openRecordset(s.sqlTempMessWerte);
    s.diagramPoints = g_master->openRecordset(s.sqlDiagramPoints);
    for (Recordset* rs : {s.akkutypen.get(), s.geraeteModi.get(), s.formierModi.get(),
                          s.minMaxWerte.get(), s.programme.get(), s.akkus.get(), s.messWerte.get(),
                          s.tempMessWerte.get(), s.diagramPoints.get()})
        if (!rs->isValid())
            return false;
    return true;
}

static void closeUserRecordsets() {
    SharedRecordsets& s = shared();
    s.programme.reset();
    s.akkus.reset();
    s.messWerte.reset();
    s.tempMessWerte.reset();
}

void closeSharedRecordsets() {
    SharedRecordsets& s = shared();
    closeUserRecordsets();
    s.akkutypen.reset();
    s.geraeteModi.reset();
    s.formierModi.reset();
    s.minMaxWerte.reset();
    s.diagramPoints.reset();
}

namespace {

// Copies the user file S into T without its free space; T keeps the key and the
// schema version of S.
bool exportCompacted(const QString& source, const QString& target, QString* error) {
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
bool rowCounts(Database& db, QMap<QString, qint64>* counts, QString* error) {
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

} // namespace

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
    const QStringList problems = quickCheckProblems(*copy);
    if (!problems.isEmpty())
        return fail(QStringLiteral("%1 is damaged: %2").arg(target, problems.first()));
    QMap<QString, qint64> before, after;
    if (!rowCounts(*original, &before, &err) || !rowCounts(*copy, &after, &err))
        return fail(err);
    if (before != after)
        return fail(QStringLiteral("%1 does not hold the rows of %2").arg(target, source));
    return true;
}

bool compactUserDatabase(const CompactedCopyCheck& check) {
    const ProgramFolder& folder = programFolder();
    const QString S = folder.userPath();
    const QString T = folder.compactTempPath();
    if (showKeyed("1028", "0110", MsgIcon::Critical, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;
    // The quit question, with the icon it has everywhere else.
    if (showKeyed("1090", "0410", MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return false;

    closeUserRecordsets();
    if (g_user)
        g_user->close();
    g_user.reset();

    QString err;
    bool ok = exportCompacted(S, T, &err) && check(S, T, &err);
    if (ok) {
        // One atomic step replaces the old file by the compacted one: at every
        // moment one complete user file exists under its name.
        ok = ::rename(QFile::encodeName(T).constData(), QFile::encodeName(S).constData()) == 0;
        if (ok) {
            QFile::remove(S + QStringLiteral("-wal"));
            QFile::remove(S + QStringLiteral("-shm"));
        }
    }
    if (!ok) {
        ErrorLog::instance().writeSignature(QStringLiteral("Compaction failed"));
        ErrorLog::instance().writeEntry(err);
        QFile::remove(T);
        Message m;
        m.text = QStringLiteral("Fehler");
        showMessage(m);
        // Keep working with the old file.
        if (openUserDatabase()) {
            SharedRecordsets& s = shared();
            s.programme = g_user->openRecordset(s.sqlProgramme);
            s.akkus = g_user->openRecordset(s.sqlAkkus);
            s.messWerte = g_user->openRecordset(s.sqlMessWerte);
            s.tempMessWerte = g_user->openRecordset(s.sqlTempMessWerte);
        }
        return false;
    }
    showKeyed("1030", "0410", MsgIcon::Information, MsgButtons::Ok);
    return true;
}

} // namespace velmara
