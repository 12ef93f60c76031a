#include "data/databases.h"
#include "data/schema.h"
#include "data/session.h"
#include "data/stores/valuestore.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/program_files.h"
#include "support/user_rows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <functional>

using namespace velmara;

namespace {
class CompactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::openProgramFiles(session) && session.openRecordsets());
        Database& db = *session.user();
        ASSERT_TRUE(test::insertValues(db, test::newSeries(db).id, 2000));
        ASSERT_TRUE(db.execute("DELETE FROM MessWerte WHERE MessWertId % 2 = 0"));
    }
    int values() { return session.user()->scalar("SELECT COUNT(*) FROM MessWerte").toInt(); }
    test::TempProgramFolder tmp;
    Session& session = tmp.session();
};
} // namespace

TEST_F(CompactionTest, KeepsEveryRowAndTheKeyAndLeavesNoTemporaryFile) {
    ValueStore& store = session.stores().values();
    ASSERT_TRUE(store.append(ValueTable::Permanent, 1, false, "x")); // prepared on the old file
    EXPECT_TRUE(session.compactUserFile().ok);
    EXPECT_FALSE(QFile::exists(tmp.folder().compactTempPath()));
    session.closeFiles();

    ASSERT_TRUE(session.openUser().ok); // opens with the unchanged password
    Database& db = *session.user();
    EXPECT_EQ(values(), 1001);
    EXPECT_EQ(db.scalar("SELECT MIN(MessWertId) FROM MessWerte").toInt(), 1);
    EXPECT_EQ(schemaVersion(db), userSchemaSteps().last().version);
    // New ids go on ascending after the compaction, in the file open now.
    const Result<qint64> key = store.append(ValueTable::Permanent, 1, false, "x");
    ASSERT_TRUE(key) << key.error().toStdString();
    EXPECT_EQ(*key, 2002);
    auto wrong = Database::open(tmp.folder().userPath(), "MS Access;PWD=nope", nullptr, true);
    EXPECT_FALSE(wrong);
}

// Each failure says why and leaves the old file open with its record sets.
TEST_F(CompactionTest, AFailureKeepsTheOldFileOpen) {
    const QString path = tmp.folder().userPath();
    const QString temp = tmp.folder().compactTempPath();
    QString checked;
    const struct {
        const char* name;
        std::function<Compaction()> compact;
    } cases[] = {
        // A folder in the way of veluser.$$$ makes the copy fail.
        {"copy fails",
         [&] {
             QDir().mkpath(temp + "/blocked");
             return session.compactUserFile();
         }},
        {"check refuses the copy without a reason",
         [&] {
             return session.compactUserFile([&](const QString&, const QString& target, QString*) {
                 checked = target;
                 return false;
             });
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Compaction done = c.compact();
        EXPECT_FALSE(done.ok);
        EXPECT_FALSE(done.reason.isEmpty());
        EXPECT_FALSE(QFileInfo(temp).isFile()); // a refused copy is removed
        ASSERT_NE(session.user(), nullptr);
        EXPECT_EQ(session.user()->path(), path);
        EXPECT_EQ(values(), 1000);
        EXPECT_TRUE(session.stores().values().append(ValueTable::Temporary, 1, false, "x"));
        QDir(temp).removeRecursively();
    }
    EXPECT_EQ(checked, temp);
}

TEST_F(CompactionTest, TheCheckRefusesACopyThatDiffersFromTheOriginal) {
    session.closeFiles();
    const QString source = tmp.folder().userPath();
    const QString copy = tmp.folder().dataDir() + "/copy.mdb";
    const struct {
        const char* name;
        const char* spoil; // a statement run on the copy
    } cases[] = {
        {"the same content", nullptr},
        {"a value less", "DELETE FROM MessWerte WHERE MessWertId = 1"},
        {"a value more",
         "INSERT INTO MessWerte (MessReiheID, EW, MessWertString) VALUES (1, 0, 'x')"},
        {"a series less", "DELETE FROM MessReihen"},
        {"another schema version", "PRAGMA user_version = 77"},
    };
    QString error;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(copy);
        ASSERT_TRUE(QFile::copy(source, copy));
        if (c.spoil) {
            auto db = Database::open(copy, connectString(), nullptr, true);
            ASSERT_TRUE(db && db->execute(c.spoil));
        }
        error.clear();
        EXPECT_EQ(checkCompactedCopy(source, copy, &error), !c.spoil) << error.toStdString();
        EXPECT_EQ(error.isEmpty(), !c.spoil);
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
