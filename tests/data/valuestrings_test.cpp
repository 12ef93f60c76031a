// Measured values as stored texts (read back through the CSV tests), and moving
// a temporary series into the permanent table.
#include "data/stores/sqlitevaluestore.h"
#include "data/tempvalues.h"
#include "data/valuestrings.h"
#include "link/endvaluerecord.h"
#include "link/statusrecord.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/temp_folder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace velmara;

namespace {

const QDateTime kR(QDate(2024, 3, 1), QTime(10, 0, 0, 800), Qt::UTC);

TEST(ValueStringTest, BuildsTheStoredTexts) {
    StatusRecord r;
    r.capacityMah = 1250;
    r.voltageMv = 7140;
    r.currentMa = 1500;
    // Second boundaries count, not elapsed time: 0.3 s across a boundary is 1.
    EXPECT_EQ(buildValueString(r, kR, kR.addMSecs(300)), "1250;7140;1500;1");
    EXPECT_EQ(buildValueString(r, kR, kR.addMSecs(150)), "1250;7140;1500;0");

    const struct {
        bool withZustand, zustand;
        qint32 selbst;
        const char* text;
    } cases[] = {
        {false, false, -1, "3;950;6000;60;75"},
        {true, true, 12, "3;950;6000;60;75;T;95;12"},
        {false, true, 7, "3;950;6000;60;75;7"},
    };
    EndValueRecord e;
    e.endValueType = 3;
    e.capacityMah = 950;
    e.voltageMv = 6000;
    e.cycleSeconds = 75;
    e.percent = 95;
    for (const auto& c : cases) {
        e.hasBatteryCondition = c.withZustand;
        e.batteryCondition = c.zustand;
        e.selfDischarge = c.selbst;
        EXPECT_EQ(buildEndValueString(e, kR, kR.addSecs(60)), c.text);
    }
}

QStringList column(Database& db, const QString& sql) {
    QStringList out;
    auto rs = db.openRecordset(sql);
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        out << rs->text("MessWertString") + "@" + rs->text("MessReiheID");
    return out;
}

TEST(AdoptTempSeriesTest, CopiesOneSeriesInRecordingOrderAllOrNothing) {
    // The user file's value tables, without the link to the series table.
    test::TempProgramFolder folder;
    EXPECT_FALSE(deleteTempValues(folder.session())); // no user file open
    auto db = Database::open(QDir(folder.path()).filePath("values.db"), "MS Access;PWD=test",
                             nullptr, false);
    ASSERT_TRUE(db);
    SqliteValueStore values([&] { return db.get(); });
    for (const char* table : {"MessWerte", "TempMessWerte"})
        ASSERT_TRUE(db->execute(QString("CREATE TABLE %1 (MessWertId INTEGER PRIMARY KEY, "
                                        "MessReiheID INTEGER, EW INTEGER NOT NULL DEFAULT 0, "
                                        "MessWertString TEXT)")
                                    .arg(table)));
    ASSERT_TRUE(db->execute("INSERT INTO TempMessWerte (MessReiheID, EW, MessWertString) VALUES "
                            "(1, 0, 'a'), (2, 0, 'x'), (1, 1, 'b'), (1, 0, 'c')"));
    ASSERT_TRUE(values.adoptTemporarySeries(1, 40));
    ASSERT_TRUE(values.adoptTemporarySeries(9, 42)); // a series without rows adds nothing
    ASSERT_TRUE(values.adoptTemporarySeries(2, 41));
    EXPECT_EQ(column(*db, "SELECT * FROM MessWerte ORDER BY MessWertId"),
              (QStringList{"a@40", "b@40", "c@40", "x@41"}));
    EXPECT_EQ(column(*db, "SELECT * FROM TempMessWerte").size(), 4);

    // A file that refuses reports the failure and keeps nothing of the move.
    ASSERT_TRUE(db->execute("CREATE TRIGGER refuse BEFORE INSERT ON MessWerte WHEN "
                            "NEW.MessWertString = 'c' BEGIN SELECT RAISE(ABORT, 'full'); END"));
    const Result<void> refused = values.adoptTemporarySeries(1, 43);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.error().isEmpty());
    EXPECT_EQ(column(*db, "SELECT * FROM MessWerte WHERE MessReiheID = 43"), QStringList());
    db->close();
    EXPECT_FALSE(values.adoptTemporarySeries(1, 40)); // the file is gone
}

} // namespace
