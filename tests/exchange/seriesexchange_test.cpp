// Series between the user file and CSV: export of a stored series, import as a
// new series, the round trip, and imports the file refuses.
#include "batteries/batteries_fixture.h"
#include "exchange/core/seriesexchange.h"
#include "exchange/core/seriesimport.h"
#include "storage/recordset.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

namespace velmara::test {
namespace {

// An existing battery, or (-1) a new one of that name.
ImportTarget target(qint32 battery, const QString& newName = {}) {
    ImportTarget t;
    t.batteryId = battery;
    t.newBatteryName = newName;
    return t;
}

class SeriesExchangeTest : public BatteriesTest {
public:
    // A battery "Eneloop 'AA'" with one series of known values; its series id.
    qint32 knownSeries() {
        const qint32 battery = insertBattery("Eneloop 'AA'");
        const qint32 series = insertSeries(battery, 1, "001,3,4,1500");
        EXPECT_TRUE(user->execute("UPDATE MessReihen SET Datum = '2026-03-01T10:30:00', "
                                  "Mode = 'Laden' WHERE MessReiheID = ?",
                                  {series}));
        insertValue(series, false, "0;1234;1500;0");
        insertValue(series, false, "1250;7140;1500;3600");
        insertValue(series, true, "2;2100;1452;7200;7100;T;95");
        insertValue(series, false, "garbage");
        insertValue(series, true, "3;1900;1000;9000;1800;12");
        insertValue(series, true, "-1;1900;1000;9100;100"); // a kind as the charger reported it
        return series;
    }
    QByteArray exported(qint32 series) {
        const auto loaded = loadSeriesFile(session().stores(), series);
        EXPECT_TRUE(loaded);
        return loaded ? writeSeriesCsv(loaded->file, {u';', u','}) : QByteArray();
    }
    QStringList storedValues(qint32 series) {
        QStringList texts;
        auto rs =
            user->openRecordset("SELECT EW, MessWertString FROM MessWerte WHERE MessReiheID=" +
                                QString::number(series) + " ORDER BY MessWertId");
        for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
            texts << rs->text("EW") + ":" + rs->text("MessWertString");
        return texts;
    }
};

// Loading for export leaves a damaged value out and counts it; the bytes
// written from what it loads are seen by the round trips below.
TEST_F(SeriesExchangeTest, LoadingLeavesDamagedValuesOut) {
    const qint32 series = knownSeries();
    const auto loaded = loadSeriesFile(session().stores(), series);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->damaged, 1);
    EXPECT_EQ(loaded->file.values.size(), 5);
    EXPECT_FALSE(loadSeriesFile(session().stores(), series + 100));
}

// Into an existing battery the series comes next, with its values and fields.
TEST_F(SeriesExchangeTest, ImportedSeriesKeepsItsValuesAndFields) {
    const qint32 series = knownSeries();
    const CsvReadResult read = readSeriesCsv(exported(series));
    ASSERT_TRUE(read.series);
    const qint32 battery =
        user->scalar("SELECT AkkuId FROM MessReihen WHERE MessReiheID = ?", {series}).toInt();
    const auto next = importSeriesFile(session().stores(), *store, target(battery), *read.series);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->number, 2);
    const QStringList expected{"0:0;1234;1500;0", "0:1250;7140;1500;3600",
                               "1:2;2100;1452;7200;7100;T;95", "1:3;1900;1000;9000;1800;12",
                               "1:-1;1900;1000;9100;100"};
    EXPECT_EQ(storedValues(next->seriesId), expected);
    EXPECT_EQ(user->scalar("SELECT Datum || '|' || Programm || '|' || Mode || '|' || bemerkung "
                           "FROM MessReihen WHERE MessReiheID = ?",
                           {next->seriesId})
                  .toString(),
              "2026-03-01T10:30:00|001,3,4,1500|Laden|remark 1");
}

TEST_F(SeriesExchangeTest, RefusedImportLeavesTheFileAsItWas) {
    const qint32 series = knownSeries();
    const CsvReadResult read = readSeriesCsv(exported(series));
    ASSERT_TRUE(read.series);
    const int batteries = rows("SELECT COUNT(*) FROM Akkus");
    const int seriesCount = rows("SELECT COUNT(*) FROM MessReihen");
    const int values = rows("SELECT COUNT(*) FROM MessWerte");

    // A new battery whose name is taken or blank, a battery that does not exist.
    for (const ImportTarget& refused :
         {target(-1, "Eneloop 'AA'"), target(-1, "  "), target(9999)}) {
        QString error;
        EXPECT_FALSE(importSeriesFile(session().stores(), *store, refused, *read.series, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    // A value the file refuses half-way through undoes the new battery as well.
    ASSERT_TRUE(user->execute("CREATE TRIGGER refuse BEFORE INSERT ON MessWerte "
                              "WHEN NEW.MessWertString LIKE '3;%' BEGIN "
                              "SELECT RAISE(ABORT, 'refused'); END"));
    EXPECT_FALSE(importSeriesFile(session().stores(), *store, target(-1, "Fresh"), *read.series));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Akkus"), batteries);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessReihen"), seriesCount);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessWerte"), values);
}

// A file read a portion at a time is kept outside the user file until it is
// stored: a file refused in its last line, or dropped half-way, leaves nothing.
TEST_F(SeriesExchangeTest, PortionsReadLeaveNothingUntilStored) {
    const qint32 series = knownSeries();
    const QByteArray file = exported(series);
    const int values = rows("SELECT COUNT(*) FROM MessWerte");
    const auto readInPortions = [&](const QByteArray& bytes, SeriesImport& import) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_TRUE(import.open(buffer)) << import.error().toStdString();
        SeriesImport::Status status = SeriesImport::Status::More;
        while (status == SeriesImport::Status::More)
            status = import.readSome(1);
        return status;
    };
    {
        SeriesImport refused(session().stores());
        EXPECT_EQ(readInPortions(file + "1;0;x;1;0;;;;;\n", refused),
                  SeriesImport::Status::Refused);
        EXPECT_EQ(refused.refusal().line, 15);
        EXPECT_EQ(refused.valuesRead(), 5);
    }
    {
        SeriesImport dropped(session().stores());
        QBuffer buffer;
        buffer.setData(file);
        buffer.open(QIODevice::ReadOnly);
        ASSERT_TRUE(dropped.open(buffer));
        EXPECT_EQ(dropped.readSome(2), SeriesImport::Status::More);
    }
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessWerte"), values);

    SeriesImport import(session().stores());
    ASSERT_EQ(readInPortions(file, import), SeriesImport::Status::Done);
    const auto stored = import.store(*store, target(-1, "Fresh"));
    ASSERT_TRUE(stored) << import.error().toStdString();
    EXPECT_EQ(exported(stored->seriesId), QByteArray(file).replace("Eneloop 'AA'", "Fresh"));
}

TEST(WriteFileAtomically, ReplacesTheFileOrLeavesItAlone) {
    const QTemporaryDir dir(testTempRoot() + "/atomic-XXXXXX");
    const QString folder = dir.path();
    const QString path = folder + "/out.csv";
    ASSERT_TRUE(writeFileAtomically(path, "old"));
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "new");
    QString error;
    EXPECT_FALSE(writeFileAtomically(folder + "/no/such/dir/x.csv", "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace velmara::test
