#include "data/databases.h"
#include "data/schema.h"
#include "data/storage/database.h"
#include "data/storage/recordset.h"
#include "shell/core/programresources.h"
#include "shell/core/programsettings.h"
#include "support/scripted_messages.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velmara;
using velmara::test::ScriptedMessages;

namespace {
class Compaction : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openMasterDatabase());
        ASSERT_TRUE(openUserDatabase());
        ProgramSettings::instance().setRsSettings(
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

TEST_F(Compaction, DecliningEitherQuestionLeavesTheFileOpenAndUntouched) {
    for (MsgAnswer first : {MsgAnswer::No, MsgAnswer::Yes}) {
        ScriptedMessages boxes;
        boxes.expect("1028", first);
        if (first == MsgAnswer::Yes)
            boxes.expect("1090", MsgAnswer::No);
        EXPECT_FALSE(compactUserDatabase());
        ASSERT_NE(userDatabase(), nullptr);
        EXPECT_EQ(values(), 1000);
    }
    EXPECT_FALSE(QFile::exists(tmp.folder().compactTempPath()));
}

TEST_F(Compaction, KeepsEveryRowAndTheKeyAndLeavesNoTemporaryFile) {
    ScriptedMessages boxes;
    boxes.expect("1028", MsgAnswer::Yes).expect("1090", MsgAnswer::Yes).expect("1030");
    EXPECT_TRUE(compactUserDatabase());
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

TEST_F(Compaction, AFailureKeepsTheOldFileAndReopensIt) {
    // A folder in the way of veluser.$$$ makes the copy fail.
    ASSERT_TRUE(QDir().mkpath(tmp.folder().compactTempPath() + "/blocked"));
    ScriptedMessages boxes;
    boxes.expect("1028", MsgAnswer::Yes).expect("1090", MsgAnswer::Yes).expect("Fehler");
    EXPECT_FALSE(compactUserDatabase());
    ASSERT_NE(userDatabase(), nullptr);
    EXPECT_EQ(values(), 1000);
    ASSERT_TRUE(shared().messWerte);
    EXPECT_TRUE(shared().messWerte->isValid());
    QDir(tmp.folder().compactTempPath()).removeRecursively();
}
