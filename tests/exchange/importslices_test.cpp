// An import stored in slices: until its last slice the series is hidden; the
// end of the program between slices, a cancel or a failure leaves the user file
// as it was, apart from what the recorder wrote meanwhile.
#include "batteries/batteries_fixture.h"
#include "exchange/core/seriesimport.h"
#include "exchange/ui/seriesimportprogress.h"

#include <QBuffer>
#include <QProgressBar>
#include <QPushButton>

namespace velmara::test {
namespace {

class ImportSlicesTest : public BatteriesTest {
public:
    // A file of n ordinary values, opened and read into the import.
    void readInto(SeriesImport& import, int n) {
        SeriesFile file;
        file.batteryName = "Pack";
        for (int i = 0; i < n; ++i)
            file.values.append(
                {.capacityMah = i, .voltageMv = 1200, .chargeCurrentMa = 500, .elapsedSeconds = i});
        buffer.setData(writeSeriesCsv(file, {u';', u','}));
        buffer.open(QIODevice::ReadOnly);
        ASSERT_TRUE(import.open(buffer));
        while (import.readSome(1000) == SeriesImport::Status::More) {
        }
        ASSERT_EQ(import.valuesRead(), n);
    }
    QString counts() {
        return QStringList{user->scalar("SELECT COUNT(*) FROM Akkus").toString(),
                           user->scalar("SELECT COUNT(*) FROM MessReihen").toString(),
                           user->scalar("SELECT COUNT(*) FROM MessWerte").toString(),
                           user->scalar("SELECT COUNT(*) FROM ImportMessReihen").toString()}
            .join(' ');
    }
    QBuffer buffer;
};

// Into an existing battery or a new one: cut off between slices (the file is
// closed under the import), nothing of it shows, and the next opening removes
// it; the battery's next series is numbered as if it had never been.
TEST_F(ImportSlicesTest, EndOfProgramBetweenSlicesLeavesNothingVisible) {
    for (const bool newBattery : {false, true}) {
        qint32 battery = -1;
        batteryWithSeries("Pack", 2, &battery);
        const QString before = counts();
        {
            SeriesImport import(session().stores());
            readInto(import, 10);
            ImportTarget target{newBattery ? -1 : battery, "Fresh", ""};
            ASSERT_TRUE(import.beginStore(*store, target));
            ASSERT_EQ(import.storeSome(4), SeriesImport::Status::More);
            EXPECT_EQ(store->series(battery).size(), 2);
            EXPECT_EQ(store->batteries().size(), 1);
            EXPECT_EQ(store->checkName("Fresh"), newBattery ? NameCheck::Taken : NameCheck::Free);
            user->close();
        }
        ASSERT_TRUE(session().openUser().ok);
        user = session().user();
        store = std::make_unique<BatteryStore>(session().stores().batteries());
        EXPECT_EQ(counts(), before);
        EXPECT_EQ(store->addSeries(battery, "")->number, 3);
        ASSERT_TRUE(store->deleteBattery(battery));
    }
}

// Cancelled after a slice: the values stored go again in slices, the one the
// recorder wrote between slices stays, and no series number moved.
TEST_F(ImportSlicesTest, CancelWhileStoringKeepsTheRecordersValue) {
    qint32 battery = -1;
    const qint32 recording = batteryWithSeries("Pack", 1, &battery).first();
    const QString before = counts();
    SeriesImport import(session().stores());
    readInto(import, 10);
    ASSERT_TRUE(import.beginStore(*store, {battery, "", ""}));
    ASSERT_EQ(import.storeSome(4), SeriesImport::Status::More);
    const qint32 recorded = insertValue(recording, false, "7;1200;500;9");
    int slices = 1;
    while (import.discardSome(3) == SeriesImport::Status::More)
        ++slices;
    EXPECT_EQ(slices, 3);
    EXPECT_EQ(rows(QString("SELECT COUNT(*) FROM MessWerte WHERE MessWertId = %1 AND "
                           "MessReiheID = %2")
                       .arg(recorded)
                       .arg(recording)),
              1);
    EXPECT_EQ(counts(), before.section(' ', 0, 1) + ' ' +
                            QString::number(before.section(' ', 2, 2).toInt() + 1) + " 0");
    EXPECT_EQ(store->addSeries(battery, "")->number, 2);
}

// The dialog takes Cancel while it stores, and ends once the values are out.
TEST_F(ImportSlicesTest, ProgressDialogCancelsWhileStoring) {
    qint32 battery = -1;
    batteryWithSeries("Pack", 1, &battery);
    const QString before = counts();
    SeriesImport import(session().stores());
    readInto(import, 5000);
    SeriesImportProgress progress(
        import, [] { return 1; }, 1,
        [&] {
            return import.beginStore(*store, {battery, "", ""});
        },
        testText);
    QObject::connect(progress.findChild<QProgressBar*>("prgImport"), &QProgressBar::valueChanged,
                     [&] {
                         if (import.valuesStored() > 0 && import.valuesStored() < 5000)
                             progress.findChild<QPushButton*>("cmdCancel")->click();
                     });
    progress.exec();
    EXPECT_EQ(progress.outcome(), SeriesImportProgress::Outcome::Cancelled);
    EXPECT_FALSE(import.stored());
    EXPECT_EQ(counts(), before);
}

} // namespace
} // namespace velmara::test
