// The user data's stores on a real PostgreSQL server (made for the run by
// pg_virtualenv): the battery rules across two stations, values in their
// order, an import's staging, and a failed step leaving nothing behind.
#include "batteries/core/batterystore.h"
#include "data/schema.h"
#include "data/stores/batteryrecords.h"
#include "data/stores/importstaging.h"
#include "data/stores/serverstores.h"
#include "data/stores/valuestore.h"
#include "support/empty_server.h"

#include <gtest/gtest.h>

#include <thread>

namespace velmara {
namespace {

// A server with the schema and nothing in it.
void emptyServer() {
    const auto emptied = test::emptyServer();
    ASSERT_TRUE(emptied) << emptied.error().toStdString();
}

std::unique_ptr<ServerStores> station(const QString& name) {
    return makeServerStores(QString{}, {name, name + "-key"});
}

QStringList texts(ValueStore& values, const ValueRange& range) {
    QStringList out;
    const auto read = values.visit(range, [&](const StoredValueView& v) {
        out << QString::fromUtf8(v.text) + (v.endValue ? "*" : "");
        return true;
    });
    EXPECT_TRUE(read) << read.error().toStdString();
    return out;
}

TEST(ServerStores, NamesAreUniqueAndTakenAsTyped) {
    emptyServer();
    auto a = station("A");
    BatteryStore store(a->batteries());
    const QStringList names{"O'Brien \"Akku\"", "x'); DROP TABLE Akkus; --", "akku", "Akku"};
    for (const QString& name : names)
        ASSERT_TRUE(store.createBattery(name, "r", "s")) << store.lastError().toStdString();
    EXPECT_EQ(store.checkName(" Akku "), NameCheck::Taken);
    EXPECT_FALSE(store.createBattery("Akku", "", "")); // refused, nothing half-written
    const auto rows = store.batteries();
    ASSERT_EQ(rows.size(), 4);
    QStringList stored;
    for (const auto& row : rows) {
        stored << row.name;
        EXPECT_EQ(store.series(row.id).size(), 1);
    }
    EXPECT_EQ(stored,
              (QStringList{"Akku", "akku", "O'Brien \"Akku\"", "x'); DROP TABLE Akkus; --"}));
}

// Two stations add a series to the same battery at the same moment: the
// second waits for the first's step and is given the number after it, and
// each series names its station.
TEST(ServerStores, TwoStationsAddingAtOnceGetNumbersInTurn) {
    emptyServer();
    auto a = station("A");
    BatteryStore storeA(a->batteries());
    const auto made = storeA.createBattery("Pack", "", "");
    ASSERT_TRUE(made);
    std::optional<BatteryStore::Created> fromA, fromB;
    std::thread other;
    ServerLine watcher(QString{});
    const auto step = a->batteries().inOneStep([&]() -> Result<void> {
        fromA = storeA.addSeries(made->batteryId, "a");
        // B starts while A's step is open, and waits for it on the server.
        other = std::thread([&] {
            auto b = station("B");
            BatteryStore storeB(b->batteries());
            fromB = storeB.addSeries(made->batteryId, "b");
        });
        for (int i = 0; i < 500; ++i) {
            if (watcher
                    .number("SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = "
                            "'Lock'")
                    .valueOr(0) > 0)
                return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return Failure{"B never waited"};
    });
    other.join();
    ASSERT_TRUE(step) << step.error().toStdString();
    ASSERT_TRUE(fromA && fromB);
    EXPECT_EQ(fromA->number, 2);
    EXPECT_EQ(fromB->number, 3);
    const auto series = storeA.series(made->batteryId);
    ASSERT_EQ(series.size(), 3);
    EXPECT_EQ(series[1].station, "A");
    EXPECT_EQ(series[2].station, "B");
}

// Deleting a series closes the gap behind it and takes its values; deleting
// the battery takes everything.
TEST(ServerStores, DeletingRenumbersAndTakesTheValues) {
    emptyServer();
    auto a = station("A");
    BatteryStore store(a->batteries());
    const auto made = store.createBattery("Pack", "", "");
    ASSERT_TRUE(made);
    const auto second = store.addSeries(made->batteryId, "");
    const auto third = store.addSeries(made->batteryId, "");
    ASSERT_TRUE(second && third);
    ValueStore& values = a->values();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(values.append(ValueTable::Permanent, second->seriesId, false, "v"));
    EXPECT_EQ(store.lossOfSeries(second->seriesId).values, 3);
    ASSERT_TRUE(store.deleteSeries(second->seriesId)) << store.lastError().toStdString();
    const auto left = store.series(made->batteryId);
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[1].id, third->seriesId);
    EXPECT_EQ(left[1].number, 2);
    EXPECT_EQ(a->line().number("SELECT count(*) FROM MessWerte").valueOr(-1), 0);
    ASSERT_TRUE(store.deleteBattery(made->batteryId));
    EXPECT_EQ(a->line().number("SELECT count(*) FROM MessReihen").valueOr(-1), 0);
}

// Values come back in the order they were stored, in chunks without loss or
// repetition, and a battery's end values series by series.
TEST(ServerStores, ValuesReadBackInOrder) {
    emptyServer();
    auto a = station("A");
    BatteryStore store(a->batteries());
    const auto made = store.createBattery("Pack", "", "");
    const auto second = store.addSeries(made->batteryId, "");
    ValueStore& values = a->values();
    QStringList expected;
    for (int i = 1; i <= 25; ++i) {
        const bool end = i % 10 == 0;
        ASSERT_TRUE(values.append(ValueTable::Permanent, made->seriesId, end, QString::number(i)));
        expected << QString::number(i) + (end ? "*" : "");
    }
    ASSERT_TRUE(values.append(ValueTable::Permanent, second->seriesId, true, "s2"));
    EXPECT_EQ(texts(values, {ValueTable::Permanent, made->seriesId}), expected);

    ValueRange range{ValueTable::Permanent, made->seriesId};
    range.afterId = 3;
    range.beforeId = 22;
    auto cursor = values.openStretch(range);
    ASSERT_TRUE(cursor);
    QStringList chunked;
    for (;;) {
        const auto n = (*cursor)->read(4, [&](const StoredValueView& v) {
            chunked << QString::fromUtf8(v.text);
            return true;
        });
        ASSERT_TRUE(n) << n.error().toStdString();
        if (*n < 4)
            break;
    }
    EXPECT_EQ(chunked, (QStringList{"4", "5", "6", "7", "8", "9", "11", "12", "13", "14", "15",
                                    "16", "17", "18", "19", "21"}));

    QStringList ends;
    ASSERT_TRUE(values.visitEndValuesOfBattery(made->batteryId, [&](const StoredValueView& v) {
        ends << QString("%1:%2").arg(v.seriesId).arg(QString::fromUtf8(v.text));
        return true;
    }));
    EXPECT_EQ(ends, (QStringList{QString("%1:10").arg(made->seriesId),
                                 QString("%1:20").arg(made->seriesId),
                                 QString("%1:s2").arg(second->seriesId)}));
    EXPECT_FALSE(values.append(ValueTable::Temporary, 1, false, "x")); // stays on the station
}

// An import stages its values on the server and moves them in slices; what a
// station leaves unfinished is its own to remove, never another's.
TEST(ServerStores, ImportsMoveInSlicesAndOnlyTheirOwnAreRemoved) {
    emptyServer();
    auto a = station("A");
    auto b = station("B");
    BatteryStore storeA(a->batteries());
    BatteryStore storeB(b->batteries());
    const auto packA = storeA.createBattery("A1", "", "");
    const auto packB = storeB.createBattery("B1", "", "");
    ASSERT_TRUE(a->batteries().markImporting(packA->seriesId, packA->batteryId));
    ASSERT_TRUE(b->batteries().markImporting(packB->seriesId, packB->batteryId));
    EXPECT_TRUE(storeA.batteries().isEmpty()); // hidden while imported

    auto staging = a->newImportStaging();
    ASSERT_TRUE(staging->begin());
    ASSERT_EQ(staging->add({{false, "1"}, {false, "2'"}, {true, "3"}}).valueOr(0), 3);
    ASSERT_EQ(staging->add({{false, "4"}}).valueOr(0), 4);
    ASSERT_TRUE(staging->inSlice([&] { return staging->moveInto(packA->seriesId, 0, 2); }, false));
    ASSERT_TRUE(staging->inSlice([&] { return staging->moveInto(packA->seriesId, 2, 4); }, true));
    EXPECT_EQ(texts(a->values(), {ValueTable::Permanent, packA->seriesId}),
              (QStringList{"1", "2'", "3*", "4"}));
    // A slice that fails leaves none of its values.
    EXPECT_FALSE(staging->inSlice(
        [&]() -> Result<void> {
            (void)staging->moveInto(packA->seriesId, 0, 4);
            return Failure{"stopped"};
        },
        true));
    EXPECT_EQ(texts(a->values(), {ValueTable::Permanent, packA->seriesId}).size(), 4);
    staging->end();

    EXPECT_EQ(staging->removeUnfinished(-1).valueOr(-1), 1);
    EXPECT_EQ(a->line().number("SELECT count(*) FROM Akkus").valueOr(-1), 1); // B's is kept
    ASSERT_TRUE(b->batteries().unmarkImporting(packB->seriesId));
    EXPECT_EQ(storeB.batteries().size(), 1);
}

} // namespace
} // namespace velmara
