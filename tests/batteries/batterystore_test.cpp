// Batteries and series in the user file: names, numbering, deletion.
#include "batteries_fixture.h"

namespace velmara::test {
namespace {

using BatteryStoreTest = BatteriesTest;

TEST_F(BatteryStoreTest, NameCheckIsExactAfterTrimmingAndSafeWithQuotes) {
    insertBattery("Sanyo 2000");
    insertBattery("O'Neil's pack");
    const struct {
        const char* name;
        NameCheck expected;
    } cases[] = {
        {"", NameCheck::Blank},
        {"   ", NameCheck::Blank},
        {"Sanyo 2000", NameCheck::Taken},
        {"  Sanyo 2000 ", NameCheck::Taken},
        {"sanyo 2000", NameCheck::Free}, // letter case makes another name
        {"Sanyo", NameCheck::Free},
        {"O'Neil's pack", NameCheck::Taken},
        {"o'neil's pack", NameCheck::Free},
        {"x' OR '1'='1", NameCheck::Free},
    };
    for (const auto& c : cases)
        EXPECT_EQ(store->checkName(c.name), c.expected) << c.name;
}

TEST_F(BatteryStoreTest, NewBatteryGetsSeriesOneWithTrimmedNameAndCreationTime) {
    const auto created = store->createBattery("  Eneloop 'AA' ", "bought 2025", "first run");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->number, 1);
    const auto battery = store->battery(created->batteryId);
    ASSERT_TRUE(battery);
    EXPECT_EQ(battery->name, "Eneloop 'AA'");
    EXPECT_EQ(battery->remark, "bought 2025");
    const auto series = store->series(created->batteryId);
    ASSERT_EQ(series.size(), 1);
    EXPECT_EQ(series[0].id, created->seriesId);
    EXPECT_EQ(series[0].number, 1);
    EXPECT_EQ(series[0].remark, "first run");
    EXPECT_EQ(series[0].created, QDateTime(QDate(2026, 3, 1), QTime(10, 30, 0)));

    // The same name again, with other blanks, is refused and adds nothing.
    EXPECT_FALSE(store->createBattery("Eneloop 'AA'", "", ""));
    EXPECT_FALSE(store->createBattery("  ", "", ""));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Akkus"), 1);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessReihen"), 1);
}

TEST_F(BatteryStoreTest, ARefusedSeriesLeavesNoBatteryWithoutSeries) {
    ASSERT_TRUE(user->execute("CREATE TRIGGER refuse BEFORE INSERT ON MessReihen "
                              "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    EXPECT_FALSE(store->createBattery("Half", "", ""));
    EXPECT_TRUE(store->lastError().contains("refused")) << store->lastError().toStdString();
    EXPECT_EQ(rows("SELECT COUNT(*) FROM Akkus"), 0);
}

TEST_F(BatteryStoreTest, NewSeriesIsNumberedAfterTheHighest) {
    qint32 battery = -1;
    batteryWithSeries("Four", 4, &battery);
    const auto fifth = store->addSeries(battery, "it's the fifth");
    ASSERT_TRUE(fifth);
    EXPECT_EQ(fifth->number, 5);
    EXPECT_EQ(numbersOf(store->series(battery)), QVector<int>({1, 2, 3, 4, 5}));
    EXPECT_EQ(store->seriesById(fifth->seriesId)->remark, "it's the fifth");

    // A battery that lost its series in another program starts again at 1.
    const qint32 bare = insertBattery("Bare");
    const auto first = store->addSeries(bare, "");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->number, 1);

    EXPECT_FALSE(store->addSeries(987654, ""));
    EXPECT_FALSE(store->lastError().isEmpty());
}

TEST_F(BatteryStoreTest, DeletingASeriesRenumbersTheFollowingOnesAndDropsItsValues) {
    qint32 battery = -1, other = -1;
    const auto ids = batteryWithSeries("Three", 3, &battery);
    const auto otherIds = batteryWithSeries("Other", 3, &other);

    const DeletionLoss loss = store->lossOfSeries(ids[1]);
    EXPECT_EQ(loss.series, 1);
    EXPECT_EQ(loss.values, 2);

    ASSERT_TRUE(store->deleteSeries(ids[1])) << store->lastError().toStdString();
    const auto left = store->series(battery);
    ASSERT_EQ(numbersOf(left), QVector<int>({1, 2}));
    EXPECT_EQ(QVector<qint32>({left[0].id, left[1].id}), QVector<qint32>({ids[0], ids[2]}));
    EXPECT_EQ(rows(QString("SELECT COUNT(*) FROM MessWerte WHERE MessReiheID=%1").arg(ids[1])), 0);
    EXPECT_EQ(rows(QString("SELECT COUNT(*) FROM MessWerte WHERE MessReiheID=%1").arg(ids[2])), 2);
    // The other battery's series keep their numbers.
    EXPECT_EQ(numbersOf(store->series(other)), QVector<int>({1, 2, 3}));

    EXPECT_FALSE(store->deleteSeries(ids[1])); // gone already
}

TEST_F(BatteryStoreTest, DeletingABatteryTakesItsSeriesAndValuesOnly) {
    qint32 battery = -1, other = -1;
    batteryWithSeries("Doomed", 2, &battery);
    batteryWithSeries("Kept", 1, &other);
    const DeletionLoss loss = store->lossOfBattery(battery);
    EXPECT_EQ(loss.series, 2);
    EXPECT_EQ(loss.values, 4);

    ASSERT_TRUE(store->deleteBattery(battery));
    EXPECT_FALSE(store->battery(battery));
    EXPECT_TRUE(store->series(battery).isEmpty());
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessReihen"), 1);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM MessWerte"), 2);
    EXPECT_TRUE(store->battery(other));
    EXPECT_FALSE(store->deleteBattery(battery));
}

} // namespace
} // namespace velmara::test
