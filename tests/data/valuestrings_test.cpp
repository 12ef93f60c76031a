// Measured values as stored texts: building, decoding, damaged texts, and
// moving a temporary series into the permanent table.
#include "data/storage/database.h"
#include "data/storage/recordset.h"
#include "data/tempvalues.h"
#include "data/valuestrings.h"
#include "link/communicationendwert.h"
#include "link/communicationresults.h"
#include "support/temp_folder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace velmara;

namespace {

const QDateTime kR(QDate(2024, 3, 1), QTime(10, 0, 0, 800), Qt::UTC);

TEST(ValueStringTest, OrdinaryValue) {
    CommunicationResults r;
    r.lKapazitaet = 1250;
    r.lSpannung = 7140;
    r.lStrom = 1500;
    EXPECT_EQ(buildValueString(r, kR, kR.addSecs(3600)), "1250;7140;1500;3600");
    // Second boundaries count, not elapsed time: 0.3 s across a boundary is 1.
    EXPECT_EQ(buildValueString(r, kR, kR.addMSecs(300)), "1250;7140;1500;1");
    EXPECT_EQ(buildValueString(r, kR, kR.addMSecs(150)), "1250;7140;1500;0");
    EXPECT_EQ(buildValueString(r, kR, kR.addSecs(-5)), "1250;7140;1500;-5");

    const LoadedMeasurementValue v = parseValueString("1250;7140;1500;3600", false);
    EXPECT_TRUE(v.bValid);
    EXPECT_FALSE(v.bEndwert);
    EXPECT_EQ(v.lKapazitaet, 1250);
    EXPECT_EQ(v.lSpannung, 7140);
    EXPECT_EQ(v.lLadestrom, 1500);
    EXPECT_EQ(v.lTimeDiff, 3600);
    EXPECT_EQ(parseValueString("-5;-7;0;-2147483648", false).lTimeDiff, -2147483648LL);
}

TEST(ValueStringTest, EndValueRoundTrip) {
    struct Case {
        bool withZustand, zustand;
        qint16 prozent;
        qint32 selbst;
        const char* text;
    };
    const Case cases[] = {
        {false, false, 0, -1, "3;950;6000;60;75"},
        {true, false, 80, -1, "3;950;6000;60;75;F;80"},
        {true, true, 95, 12, "3;950;6000;60;75;T;95;12"},
        {false, true, 50, 7, "3;950;6000;60;75;7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CommunicationEndwert e;
        e.iEndwertTyp = 3;
        e.lKapazitaet = 950;
        e.lSpannung = 6000;
        e.lZykluszeit = 75;
        e.bWithAkkuzustand = c.withZustand;
        e.bAkkuzustand = c.zustand;
        e.iProzent = c.prozent;
        e.lSelbstentladung = c.selbst;
        const QString text = buildEndValueString(e, kR, kR.addSecs(60));
        EXPECT_EQ(text, c.text);

        const LoadedMeasurementValue v = parseValueString(text, true);
        EXPECT_TRUE(v.bValid);
        EXPECT_TRUE(v.bEndwert);
        EXPECT_EQ(v.iEndwertTyp, 3);
        EXPECT_EQ(v.lKapazitaet, 950);
        EXPECT_EQ(v.lSpannung, 6000);
        EXPECT_EQ(v.lTimeDiff, 60);
        EXPECT_EQ(v.lZykluszeit, 75);
        EXPECT_EQ(v.bWithAkkuzustand, c.withZustand);
        EXPECT_EQ(v.bAkkuzustand, c.withZustand && c.zustand);
        EXPECT_EQ(v.iProzent, c.withZustand ? c.prozent : 0);
        EXPECT_EQ(v.bWithSelbstentladung, c.selbst != -1);
        EXPECT_EQ(v.lSelbstentladung, c.selbst != -1 ? c.selbst : 0);
    }
}

TEST(ValueStringTest, DamagedTextsAreMarkedInvalid) {
    struct Case {
        const char* text;
        bool endwert;
    };
    const Case cases[] = {
        {"", false},
        {"1250;7140;1500", false},
        {"1250;7140;x;3600", false},
        {"1250;7140; 1500;3600", false},
        {"1250;7140;1500;2147483648", false},
        {"1250;7140;1500;1e3", false},
        {"1250;7140;--1;3", false},
        {"1250;71\xb2"
         "0;1;3",
         false},
        {"3;950;6000;60", true},
        {"40000;950;6000;60;75", true},
        {"3;950;6000;60;75;T;99999", true},
        {"3;950;6000;60;75;X;5", true},
        {"3;950;6000;60;75;F;80;abc", true},
        {";;;;;;;", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_FALSE(parseValueString(QString::fromLatin1(c.text), c.endwert).bValid);
    }
}

// The user file's three value tables, as the delivered schema has them.
std::unique_ptr<Database> valueTables(const QString& folder) {
    QString error;
    auto db =
        Database::open(QDir(folder).filePath("values.db"), "MS Access;PWD=test", &error, false);
    EXPECT_TRUE(db) << error.toStdString();
    if (!db)
        return nullptr;
    EXPECT_TRUE(db->execute(
        "CREATE TABLE MessWerte (MessWertId INTEGER PRIMARY KEY AUTOINCREMENT, MessReiheID "
        "INTEGER NOT NULL, EW INTEGER NOT NULL DEFAULT 0, MessWertString TEXT)"));
    EXPECT_TRUE(db->execute(
        "CREATE TABLE TempMessWerte (MessWertId INTEGER PRIMARY KEY AUTOINCREMENT, MessReiheID "
        "INTEGER, EW INTEGER NOT NULL DEFAULT 0, MessWertString TEXT)"));
    EXPECT_TRUE(db->execute("CREATE TABLE TempTempMessWerte (MessWertId INTEGER PRIMARY KEY, "
                            "MessReiheID INTEGER, EW INTEGER NOT NULL DEFAULT 0, "
                            "MessWertString TEXT)"));
    return db;
}

QStringList column(Database& db, const QString& sql) {
    QStringList out;
    auto rs = db.openRecordset(sql);
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        out << rs->text("MessWertString") + "@" + rs->text("MessReiheID");
    return out;
}

TEST(MoveTempSeriesTest, CopiesOneSeriesInRecordingOrder) {
    test::TempProgramFolder folder;
    auto db = valueTables(folder.path());
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->execute("INSERT INTO TempMessWerte (MessReiheID, EW, MessWertString) VALUES "
                            "(1, 0, 'a'), (2, 0, 'x'), (1, 1, 'b'), (1, 0, 'c')"));
    ASSERT_TRUE(moveTempSeries(*db, 1, 40));
    EXPECT_EQ(column(*db, "SELECT * FROM MessWerte ORDER BY MessWertId"),
              (QStringList{"a@40", "b@40", "c@40"}));
    // A second move uses the emptied staging table: nothing of the first again.
    ASSERT_TRUE(moveTempSeries(*db, 2, 41));
    EXPECT_EQ(column(*db, "SELECT * FROM MessWerte ORDER BY MessWertId"),
              (QStringList{"a@40", "b@40", "c@40", "x@41"}));
    // A series without rows is no failure and adds nothing.
    ASSERT_TRUE(moveTempSeries(*db, 9, 42));
    EXPECT_EQ(column(*db, "SELECT * FROM MessWerte").size(), 4);
    EXPECT_EQ(column(*db, "SELECT * FROM TempMessWerte").size(), 4);
}

TEST(MoveTempSeriesTest, AFailingStatementChangesNothing) {
    test::TempProgramFolder folder;
    auto db = valueTables(folder.path());
    ASSERT_TRUE(db);
    ASSERT_TRUE(db->execute("INSERT INTO TempMessWerte (MessReiheID, EW, MessWertString) VALUES "
                            "(1, 0, 'a'), (2, 0, 'x')"));
    ASSERT_TRUE(moveTempSeries(*db, 2, 41));
    // Without MessWerte the last statement fails: the staging table keeps the last move.
    ASSERT_TRUE(db->execute("DROP TABLE MessWerte"));
    EXPECT_FALSE(moveTempSeries(*db, 1, 40));
    EXPECT_EQ(column(*db, "SELECT * FROM TempTempMessWerte"), QStringList{"x@41"});
}

TEST(MoveTempSeriesTest, NoUserFileIsAFailure) {
    EXPECT_FALSE(moveTempSeries(1, 2));
    EXPECT_FALSE(deleteTempValues());
}

} // namespace
