#include "data/databases.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "link/programrecord.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

using namespace velmara;

namespace {
class SettingsAndTexts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.openMaster().ok);
        session.settings().setRecordset(session.master()->openRecordset("SELECT * FROM Optionen"));
    }
    int optionRows() { return session.master()->scalar("SELECT COUNT(*) FROM Optionen").toInt(); }
    test::TempProgramFolder tmp;
    Session& session = tmp.session();
};
} // namespace

TEST_F(SettingsAndTexts, WritesAreOnDiskAndVisibleToTheNextRead) {
    session.setSetting("PrintDate", "NO");
    session.setSetting("PrintDate", "YES");
    EXPECT_EQ(session.setting("PrintDate"), "YES");
    // Another connection sees the value at once: nothing waits in memory.
    auto other = Database::open(tmp.folder().masterPath(), connectString(), nullptr, true);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->scalar("SELECT value FROM Optionen WHERE key = 'PrintDate'").toString(),
              "YES");
}

// Keys match without regard to case; each key is added after one that a
// wildcard or set in it would also match.
TEST_F(SettingsAndTexts, KeysMatchOnlyThemselvesInAnyCase) {
    const QStringList keys = {"axb", "a_b", "a%b", "a*b", "it's", "ab", "[a]b", "Ölstand"};
    for (const QString& key : keys)
        ASSERT_TRUE(session.settings().setOrAddSetting(key, key + " set")) << qPrintable(key);
    for (const QString& key : keys)
        EXPECT_EQ(session.setting(key).toStdString(), (key + " set").toStdString());
    EXPECT_EQ(session.setting("ÖLSTAND"), "Ölstand set");
    session.setSetting("printdate", "NO");
    EXPECT_EQ(session.setting("PRINTDATE"), "NO");
}

TEST_F(SettingsAndTexts, AbsentKeysAreNeverAddedAndOnlyTheExactWordYesCounts) {
    const int rows = optionRows();
    session.setSetting("NoSuchKey", "YES");
    EXPECT_EQ(session.setting("NoSuchKey"), "");
    EXPECT_EQ(optionRows(), rows);
    for (const char* v : {"yes", "YES ", "1", "YES"}) {
        session.setSetting("PrintDate", v);
        EXPECT_EQ(session.settingIsYes("PrintDate"), QString(v) == "YES") << v;
    }
}

TEST_F(SettingsAndTexts, NewProgramRecordsStartFromTheDefaultEndOfCharge) {
    for (auto [stored, expected] : {std::pair{"150", 150}, std::pair{"", 0}}) {
        session.setSetting("DefaultLadeende", stored);
        EXPECT_EQ(ProgramRecord(defaultEndOfCharge(session.settings())).endOfCharge, expected);
    }
}
