#include "base/core/errorlog.h"
#include "data/databases.h"
#include "data/deliveredtexts.h"
#include "data/schema.h"
#include "data/session.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/program_files.h"
#include "support/temp_folder.h"
#include "support/user_rows.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

using namespace velmara;
using velmara::test::TempProgramFolder;

namespace {

QByteArray digest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// A fresh folder whose files are open, as after the start-up.
class OpenFiles : public test::ProgramFilesTest {};

} // namespace

TEST(DatabaseFiles, FirstStartCreatesBothFilesAndNeverTouchesExistingOnes) {
    TempProgramFolder tmp;
    QString err;
    ASSERT_TRUE(createMissingDatabaseFiles(tmp.folder(), &err)) << err.toStdString();
    ASSERT_TRUE(QFile::exists(tmp.folder().masterPath()));
    ASSERT_TRUE(QFile::exists(tmp.folder().userPath()));
    EXPECT_FALSE(QFile::exists(tmp.folder().masterPath() + ".new"));
    const QByteArray both = digest(tmp.folder().masterPath()) + digest(tmp.folder().userPath());
    ASSERT_TRUE(createMissingDatabaseFiles(tmp.folder(), &err));
    EXPECT_EQ(digest(tmp.folder().masterPath()) + digest(tmp.folder().userPath()), both);

    // A removed user file is made again, the master file stays as it is.
    QFile::remove(tmp.folder().userPath());
    ASSERT_TRUE(createMissingDatabaseFiles(tmp.folder(), &err));
    EXPECT_TRUE(QFile::exists(tmp.folder().userPath()));
    EXPECT_TRUE(both.startsWith(digest(tmp.folder().masterPath())));
}

TEST_F(OpenFiles, OpeningCreatesFromTheDeliveredContent) {
    EXPECT_EQ(session().setting("FirstStartup"), "YES");
    EXPECT_EQ(schemaVersion(*session().master()), masterSchemaSteps().last().version);
    EXPECT_EQ(schemaVersion(user()), userSchemaSteps().last().version);
}

TEST(SchemaUpgrade, FreshRerunNewerAndBrokenStep) {
    TempProgramFolder tmp;
    const QString path = tmp.folder().dataDir() + "/probe.mdb";
    QString err;
    auto db = Database::open(path, connectString(), &err, false);
    ASSERT_TRUE(db) << err.toStdString();
    QVector<SchemaStep> steps{{1, "CREATE TABLE A (x INTEGER);"},
                              {2, "ALTER TABLE A ADD COLUMN y TEXT;"}};
    EXPECT_EQ(upgradeSchema(*db, steps, &err), UpgradeResult::Upgraded);
    EXPECT_EQ(schemaVersion(*db), 2);
    ASSERT_TRUE(db->execute("INSERT INTO A (x, y) VALUES (1, 'kept')"));
    EXPECT_EQ(upgradeSchema(*db, steps, &err), UpgradeResult::UpToDate); // re-run: nothing to do

    // A broken step is rolled back as a whole: no half-made table, version unchanged.
    steps.append({3, "CREATE TABLE B (z INTEGER); INSERT INTO NoSuchTable VALUES (1);"});
    EXPECT_EQ(upgradeSchema(*db, steps, &err), UpgradeResult::Failed);
    EXPECT_EQ(schemaVersion(*db), 2);
    EXPECT_FALSE(db->execute("SELECT * FROM B"));
    EXPECT_EQ(db->scalar("SELECT y FROM A WHERE x = 1").toString(), "kept");
}

TEST(DatabaseFiles, ADamagedPageInAFileThatOpensIsReported) {
    TempProgramFolder tmp;
    ASSERT_TRUE(createMissingDatabaseFiles(tmp.folder()));
    {
        auto db = Database::open(tmp.folder().userPath(), connectString(), nullptr, true);
        ASSERT_TRUE(db && test::insertValues(*db, test::newSeries(*db).id, 3000));
    }
    // Sound files open without a word.
    ASSERT_TRUE(test::openProgramFiles(tmp.session()));
    tmp.session().closeFiles();
    // Spoil a page in the middle of the user file; its first page stays whole.
    QFile file(tmp.folder().userPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_GT(file.size(), 16 * 4096);
    ASSERT_TRUE(file.seek(file.size() / 2));
    file.write(QByteArray(64, '\x5a'));
    file.close();

    EXPECT_TRUE(tmp.session().openMaster().damage.isEmpty());
    const FileOpening user = tmp.session().openUser();
    EXPECT_TRUE(user.ok); // a warning, the program goes on
    EXPECT_FALSE(user.damage.isEmpty());
    EXPECT_EQ(user.path, tmp.folder().userPath());
}

// Each fails at once with a reason and leaves both files as they were.
TEST(DatabaseFiles, FatalPathsLeaveTheFilesAsTheyWere) {
    struct Case {
        const char* name;
        // Spoils the folder; what it returns holds a file open during the opening.
        std::function<std::unique_ptr<Database>(const ProgramFolder&)> spoil;
        bool masterFails;
        const char* reason;
    } cases[] = {
        {"damaged master",
         [](const ProgramFolder& f) {
             QFile m(f.masterPath());
             EXPECT_TRUE(m.open(QIODevice::WriteOnly));
             m.write(QByteArray(4096, 'x'));
             return nullptr;
         },
         true, "wrong password, or the file is damaged"},
        {"Daten is a file: nothing can be made",
         [](const ProgramFolder& f) {
             QDir(f.dataDir()).removeRecursively();
             QFile block(f.dataDir());
             EXPECT_TRUE(block.open(QIODevice::WriteOnly));
             return nullptr;
         },
         true, "cannot create"},
        {"damaged user file",
         [](const ProgramFolder& f) {
             QFile u(f.userPath());
             EXPECT_TRUE(u.open(QIODevice::WriteOnly | QIODevice::Truncate));
             u.write("SQLite format 3 but not really");
             return nullptr;
         },
         false, ""},
        {"user file from a newer version",
         [](const ProgramFolder& f) {
             auto db = Database::open(f.userPath(), connectString(), nullptr, true);
             const int next = userSchemaSteps().last().version + 1;
             EXPECT_TRUE(db && db->execute(QString("PRAGMA user_version = %1").arg(next)));
             return nullptr;
         },
         false, "newer version"},
        {"user file locked by another program",
         [](const ProgramFolder& f) {
             auto other = Database::open(f.userPath(), connectString(), nullptr, true);
             EXPECT_TRUE(other && other->execute("PRAGMA locking_mode = EXCLUSIVE") &&
                         other->execute("BEGIN EXCLUSIVE") &&
                         other->execute("INSERT INTO Akkus (AkkuName) VALUES ('held')"));
             return other;
         },
         false, "locked"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempProgramFolder tmp;
        ASSERT_TRUE(createMissingDatabaseFiles(tmp.folder()));
        const auto holder = c.spoil(tmp.folder());
        const QByteArray m = digest(tmp.folder().masterPath());
        const QByteArray u = digest(tmp.folder().userPath());
        QElapsedTimer timer;
        timer.start();
        FileOpening failed = tmp.session().openMaster();
        if (!c.masterFails) {
            EXPECT_TRUE(failed.ok);
            failed = tmp.session().openUser();
        }
        EXPECT_LT(timer.elapsed(), 10000);
        EXPECT_FALSE(failed.ok);
        EXPECT_FALSE(failed.reason.isEmpty());
        EXPECT_TRUE(failed.reason.contains(c.reason)) << failed.reason.toStdString();
        tmp.session().closeFiles();
        EXPECT_EQ(digest(tmp.folder().masterPath()), m);
        EXPECT_EQ(digest(tmp.folder().userPath()), u);
    }
}

// Only the exact short name of the four-channel model picks its columns.
TEST_F(OpenFiles, RecordSetsReadTheChosenColumnsAndLanguage) {
    Session& session = this->session();
    const struct {
        const char* charger;
        const char* family;
    } cases[] = {{"QMT1", "1"}, {"QMT4", "4"}, {"qmt4", "1"}, {"QMT4 ", "1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charger);
        session.setSetting("UsedCharger", c.charger);
        session.setSetting("UsedLanguage", "en");
        ASSERT_TRUE(session.openRecordsets());
        auto direct = session.master()->openRecordset("SELECT * FROM Akkutypen WHERE Nr = 1");
        ASSERT_FALSE(direct->isEOF());
        Recordset& types = *session.recordsets().akkutypen;
        ASSERT_TRUE(types.findFirstEqual("Nr", 1));
        EXPECT_EQ(types.value("ZMax").toInt(),
                  direct->value(QString("ZmaxQMT") + c.family).toInt());
        Recordset& limits = *session.recordsets().minMaxWerte;
        ASSERT_TRUE(limits.findFirstEqual("Bez", "L"));
        auto row = session.master()->openRecordset("SELECT * FROM MinMaxWerte WHERE Bez = 'L'");
        EXPECT_DOUBLE_EQ(limits.value("Max").toDouble(),
                         row->value(QString("MaxQmt") + c.family).toDouble());
    }
    // A language without texts gives empty sets, not a failure.
    session.setSetting("UsedLanguage", "xx");
    ASSERT_TRUE(session.openRecordsets());
    EXPECT_EQ(session.recordsets().akkutypen->recordCount(), 0);
    EXPECT_EQ(session.recordsets().geraeteModi->recordCount(), 0);
    EXPECT_GT(session.recordsets().formierModi->recordCount(), 0);
}

// A master file from an earlier velmara: a delivered text it lacks is added, a
// text delivered earlier and mended since is mended, one the user wrote stays.
TEST(DatabaseFiles, DeliveredTextsReachAnExistingMasterFile) {
    TempProgramFolder tmp;
    ASSERT_TRUE(createMissingDatabaseFiles(tmp.folder()));
    {
        auto db = Database::open(tmp.folder().masterPath(), connectString());
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->execute("DELETE FROM NLSResources WHERE ResourceID = '0952'"));
        ASSERT_TRUE(db->execute("UPDATE NLSResources SET ResourceText = 'ohne last' WHERE "
                                "ResourceID = '7024' AND SprachCode = 'de'"));
        ASSERT_TRUE(db->execute("UPDATE NLSResources SET ResourceText = 'Eigener Text' WHERE "
                                "ResourceID = '7044' AND SprachCode = 'de'"));
    }
    ASSERT_TRUE(mendedTexts().contains(textRowId("7024", "de"), "ohne last"));
    ASSERT_TRUE(tmp.session().openMaster().ok);
    Database& master = *tmp.session().master();
    auto text = [&](const char* key, const char* language) {
        return master
            .scalar("SELECT ResourceText FROM NLSResources WHERE ResourceID = ? AND SprachCode = ?",
                    {key, language})
            .toString();
    };
    EXPECT_EQ(text("0952", "en"), "Fetch program from charger");
    EXPECT_EQ(text("7024", "de"), "ohne Last");
    EXPECT_EQ(text("7044", "de"), "Eigener Text");
    EXPECT_EQ(master.scalar("SELECT COUNT(*) FROM NLSResources").toInt(), deliveredTexts().size());
}
