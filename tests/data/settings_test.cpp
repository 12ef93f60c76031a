#include "data/session.h"
#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "link/programrecord.h"
#include "data/textstore.h"
#include "data/settingsstore.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace velmara;

namespace {
class SettingsAndTexts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openMasterDatabase());
        currentSession()->settings().setRecordset(
            masterDatabase()->openRecordset("SELECT * FROM Optionen"));
        currentSession()->texts().setRecordset(
            masterDatabase()->openRecordset("SELECT * FROM NLSResources"));
    }
    void TearDown() override { closeDatabases(); }
    test::TempProgramFolder tmp;
};
} // namespace

TEST_F(SettingsAndTexts, WritesAreOnDiskAndVisibleToTheNextRead) {
    setSetting("PrintDate", "NO");
    EXPECT_EQ(getSetting("PrintDate"), "NO");
    setSetting("PrintDate", "YES");
    EXPECT_EQ(getSetting("PrintDate"), "YES");
    // Another connection sees the value at once: nothing waits in memory.
    auto other = Database::open(tmp.folder().masterPath(), connectString(), nullptr, true);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->scalar("SELECT value FROM Optionen WHERE key = 'PrintDate'").toString(),
              "YES");
}

TEST_F(SettingsAndTexts, KeysMatchWithoutRegardToCase) {
    setSetting("printdate", "NO");
    EXPECT_EQ(getSetting("PRINTDATE"), "NO");
    EXPECT_EQ(getSetting("PrintDate"), "NO");
}

// Each key is added after one that a wildcard or set in it would also match.
TEST_F(SettingsAndTexts, KeysWithQuotesOrWildcardsMatchOnlyThemselves) {
    const QStringList keys = {"axb", "a_b", "a%b", "a*b", "it's", "ab", "[a]b", "Ölstand"};
    for (const QString& key : keys)
        ASSERT_TRUE(currentSession()->settings().setOrAddSetting(key, key + " set"))
            << qPrintable(key);
    for (const QString& key : keys)
        EXPECT_EQ(getSetting(key).toStdString(), (key + " set").toStdString());
    EXPECT_EQ(getSetting("ÖLSTAND"), "Ölstand set");
}

TEST_F(SettingsAndTexts, AbsentKeysReadEmptyAndAreNeverAdded) {
    const int rows = masterDatabase()->scalar("SELECT COUNT(*) FROM Optionen").toInt();
    EXPECT_EQ(getSetting("NoSuchKey"), "");
    setSetting("NoSuchKey", "YES");
    EXPECT_EQ(getSetting("NoSuchKey"), "");
    EXPECT_EQ(masterDatabase()->scalar("SELECT COUNT(*) FROM Optionen").toInt(), rows);
    EXPECT_FALSE(currentSession()->settings().isYes("NoSuchKey"));
}

TEST_F(SettingsAndTexts, OnlyTheExactWordYesCountsAsYes) {
    for (const char* v : {"yes", "YES ", "Y", "1", ""}) {
        setSetting("PrintDate", v);
        EXPECT_FALSE(currentSession()->settings().isYes("PrintDate")) << v;
    }
    setSetting("PrintDate", "YES");
    EXPECT_TRUE(currentSession()->settings().isYes("PrintDate"));
}

TEST_F(SettingsAndTexts, TextsFollowTheLanguageAndFallBackToTheKey) {
    TextStore& r = currentSession()->texts();
    r.setLanguageKey("de");
    const QString de = r.text("0800");
    r.setLanguageKey("en");
    const QString en = r.text("0800");
    EXPECT_NE(de, "0800");
    EXPECT_NE(en, "0800");
    EXPECT_NE(de, en);
    EXPECT_EQ(r.text("0000"), "0000");
    r.setLanguageKey("xx");
    EXPECT_EQ(r.text("0800"), "0800");
    r.setLanguageKey("de");
    EXPECT_EQ(r.text("08'00"), "08'00"); // quotes in a key are harmless
}

TEST_F(SettingsAndTexts, NewProgramRecordsStartFromTheDefaultEndOfCharge) {
    setSetting("DefaultLadeende", "150");
    EXPECT_EQ(ProgramRecord(defaultEndOfCharge()).endOfCharge, 150);
    setSetting("DefaultLadeende", "");
    EXPECT_EQ(ProgramRecord(defaultEndOfCharge()).endOfCharge, 0);
}
