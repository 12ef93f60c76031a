#include "data/session.h"
#include "data/databases.h"
#include "data/schema.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "data/textstore.h"
#include "data/settingsstore.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>

using namespace velmara;
using velmara::test::ScriptedMessages;

namespace {
class CompactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openMasterDatabase());
        ASSERT_TRUE(openUserDatabase());
        currentSession()->settings().setRecordset(
            masterDatabase()->openRecordset("SELECT * FROM Optionen"));
        ASSERT_TRUE(openSharedRecordsets());
        Database& db = *userDatabase();
        ASSERT_TRUE(db.execute("INSERT INTO Akkus (AkkuName) VALUES ('Pack 1')"));
        ASSERT_TRUE(db.execute("INSERT INTO MessReihen (AkkuId, Nummer) VALUES (1, 1)"));
        ASSERT_TRUE(db.transaction([&] {
            for (int i = 0; i < 2000; ++i)
                if (!db.execute(QString("INSERT INTO MessWerte (MessReiheID, EW, MessWertString) "
                                        "VALUES (1, False, '%1;7000;1500;%1')")
                                    .arg(i)))
                    return false;
            return true;
        }));
        ASSERT_TRUE(db.execute("DELETE FROM MessWerte WHERE MessWertId % 2 = 0"));
    }
    void TearDown() override { closeDatabases(); }
    int values() { return userDatabase()->scalar("SELECT COUNT(*) FROM MessWerte").toInt(); }
    test::TempProgramFolder tmp;
};
} // namespace

TEST_F(CompactionTest, KeepsEveryRowAndTheKeyAndLeavesNoTemporaryFile) {
    EXPECT_TRUE(tmp.session().compactUserFile().ok);
    EXPECT_FALSE(QFile::exists(tmp.folder().compactTempPath()));
    closeDatabases();

    ASSERT_TRUE(openUserDatabase()); // opens with the unchanged password
    EXPECT_EQ(values(), 1000);
    EXPECT_EQ(userDatabase()->scalar("SELECT MIN(MessWertId) FROM MessWerte").toInt(), 1);
    EXPECT_EQ(schemaVersion(*userDatabase()), userSchemaSteps().last().version);
    // New ids go on ascending after the compaction.
    ASSERT_TRUE(userDatabase()->execute(
        "INSERT INTO MessWerte (MessReiheID, EW, MessWertString) VALUES (1, 0, 'x')"));
    EXPECT_EQ(userDatabase()->lastInsertId(), 2001);
    auto wrong = Database::open(tmp.folder().userPath(), "MS Access;PWD=nope", nullptr, true);
    EXPECT_FALSE(wrong);
}

TEST_F(CompactionTest, AFailureKeepsTheOldFileAndReopensIt) {
    // A folder in the way of veluser.$$$ makes the copy fail.
    ASSERT_TRUE(QDir().mkpath(tmp.folder().compactTempPath() + "/blocked"));
    const velmara::Compaction done = tmp.session().compactUserFile();
    EXPECT_FALSE(done.ok);
    EXPECT_FALSE(done.reason.isEmpty());
    ASSERT_NE(userDatabase(), nullptr);
    EXPECT_EQ(values(), 1000);
    ASSERT_TRUE(shared().messWerte);
    EXPECT_TRUE(shared().messWerte->isValid());
    QDir(tmp.folder().compactTempPath()).removeRecursively();
}

TEST_F(CompactionTest, ACopyThatFailsItsCheckLeavesTheOldFileInPlace) {
    const QString path = tmp.folder().userPath();
    QString checked;
    EXPECT_FALSE(tmp.session()
                     .compactUserFile([&](const QString&, const QString& target, QString*) {
                         checked = target;
                         return false;
                     })
                     .ok);
    EXPECT_EQ(checked, tmp.folder().compactTempPath());
    EXPECT_FALSE(QFile::exists(tmp.folder().compactTempPath()));
    ASSERT_NE(userDatabase(), nullptr);
    EXPECT_EQ(userDatabase()->path(), path);
    EXPECT_EQ(values(), 1000);
}

TEST_F(CompactionTest, TheCheckRefusesACopyThatDiffersFromTheOriginal) {
    closeDatabases();
    const QString source = tmp.folder().userPath();
    const QString copy = tmp.folder().dataDir() + "/copy.mdb";
    auto copyOf = [&] {
        QFile::remove(copy);
        EXPECT_TRUE(QFile::copy(source, copy));
        return Database::open(copy, connectString(), nullptr, true);
    };
    const struct {
        const char* name;
        std::function<void(Database&)> spoil;
    } cases[] = {
        {"a value less",
         [](Database& db) { db.execute("DELETE FROM MessWerte WHERE MessWertId = 1"); }},
        {"a value more",
         [](Database& db) {
             db.execute(
                 "INSERT INTO MessWerte (MessReiheID, EW, MessWertString) VALUES (1, 0, 'x')");
         }},
        {"a series less", [](Database& db) { db.execute("DELETE FROM MessReihen"); }},
        {"another schema version", [](Database& db) { db.execute("PRAGMA user_version = 77"); }},
    };
    QString error;
    {
        auto same = copyOf();
        ASSERT_TRUE(same);
    }
    EXPECT_TRUE(checkCompactedCopy(source, copy, &error)) << error.toStdString();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        {
            auto db = copyOf();
            ASSERT_TRUE(db);
            c.spoil(*db);
        }
        error.clear();
        EXPECT_FALSE(checkCompactedCopy(source, copy, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    // A copy under another key does not open with the program's connect string.
    QFile::remove(copy);
    {
        auto other = Database::open(copy, "MS Access;PWD=other", nullptr, false);
        ASSERT_TRUE(other);
        ASSERT_TRUE(other->execute("CREATE TABLE Akkus (AkkuId INTEGER)"));
    }
    EXPECT_FALSE(checkCompactedCopy(source, copy, &error));
    QFile::remove(copy);
    EXPECT_FALSE(checkCompactedCopy(source, copy, &error)); // no copy at all
}
