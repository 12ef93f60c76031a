// The program's features with the user data on a server, through the stores
// as a running program has them (the server's stores on their thread, values
// recorded through the user file's outbox), and the batteries a station holds
// while it records them.
#include "batteries/core/batterystore.h"
#include "charts/core/diagramload.h"
#include "data/batteryleases.h"
#include "data/stores/batteryrecords.h"
#include "data/stores/serverstores.h"
#include "data/stores/storethread.h"
#include "data/stores/valuestore.h"
#include "data/valueshipper.h"
#include "exchange/core/seriesexchange.h"
#include "exchange/core/seriesimport.h"
#include "support/empty_server.h"
#include "support/tcp_proxy.h"
#include "support/temp_folder.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace velmara {
namespace {

// Runs the event loop until done() holds or 10 s have passed.
bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

QStringList valueTexts(const SeriesFile& file) {
    QStringList out;
    for (const LoadedMeasurementValue& v : file.values)
        out << QString::number(v.elapsedSeconds) + (v.isEndValue ? "*" : "");
    return out;
}

// A series recorded at station A goes to the server, and every feature that
// reads or changes stored series works on it there: its export, the diagram,
// an import in slices as a new battery, and the management's deletion; the
// other station sees the result.
TEST(ServerFeatures, RecordedSeriesThroughExportImportDiagramAndDeletion) {
    ASSERT_TRUE(test::emptyServer());
    test::TempProgramFolder tmp;
    Session& session = tmp.session();
    ASSERT_TRUE(session.openUser().ok);
    ASSERT_TRUE(session.useServer(QString{}, "A"));
    BatteryStore store(session.stores().batteries());
    const auto made = store.createBattery("Zelle 'A\"; --", "", "", 2);
    ASSERT_TRUE(made) << store.lastError().toStdString();
    ASSERT_TRUE(session.stores().batteries().setProgram(made->seriesId, "001,3,4,1500", "Laden"));
    QStringList recorded;
    for (int i = 0; i < 40; ++i) {
        const bool end = i % 13 == 12;
        const QString text = end ? QString("2;2100;1452;%1;7100;T;95").arg(60 * i)
                                 : QString("1250;7140;1500;%1").arg(60 * i);
        ASSERT_TRUE(
            session.recordingValues().append(ValueTable::Permanent, made->seriesId, end, text));
        recorded << QString::number(60 * i) + (end ? "*" : "");
    }
    ASSERT_TRUE(waitFor([&] { return session.shipper()->waiting() == 0; }))
        << session.shipper()->lastError().toStdString();

    const auto loaded = loadSeriesFile(session.stores(), made->seriesId);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(valueTexts(loaded->file), recorded);
    EXPECT_EQ(loaded->file.program, "001,3,4,1500");

    DiagramLoad diagram(session.stores().values(), DiagramRequest{false, made->seriesId, 0}, {});
    ASSERT_EQ(diagram.run(), DiagramLoad::State::Ready) << diagram.error().toStdString();
    EXPECT_EQ(diagram.values().size(), 37u); // the end values are not drawn

    SeriesImport import(session.stores());
    QBuffer file;
    file.setData(writeSeriesCsv(loaded->file, {u';', u','}));
    file.open(QIODevice::ReadOnly);
    ASSERT_TRUE(import.open(file));
    while (import.readSome(7) == SeriesImport::Status::More) {
    }
    ASSERT_TRUE(import.beginStore(store, {-1, "Kopie", ""})) << import.error().toStdString();
    int slices = 1;
    SeriesImport::Status status;
    while ((status = import.storeSome(9)) == SeriesImport::Status::More)
        ++slices;
    ASSERT_EQ(status, SeriesImport::Status::Done) << import.error().toStdString();
    EXPECT_EQ(slices, 5);
    const auto copy = loadSeriesFile(session.stores(), import.stored()->seriesId);
    ASSERT_TRUE(copy);
    EXPECT_EQ(valueTexts(copy->file), recorded);

    auto b = makeServerStores(QString{}, {"B", "B-key"});
    BatteryStore atB(b->batteries());
    ASSERT_EQ(atB.batteries().size(), 2);
    EXPECT_EQ(atB.series(made->batteryId).value(0).station, "A");
    EXPECT_EQ(atB.series(made->batteryId).value(0).channel, 2);
    ASSERT_TRUE(store.deleteBattery(made->batteryId)) << store.lastError().toStdString();
    EXPECT_EQ(atB.batteries().size(), 1);
    EXPECT_EQ(b->line().number("SELECT count(*) FROM MessWerte").valueOr(-1), 40); // the copy's
}

// A battery is held by the connection of the station that records it: another
// station is told who holds it; the battery is free again as soon as that
// connection ends, whether its program ended or its network went, and the
// station that lost it learns so at its next check.
TEST(ServerFeatures, BatteriesAreHeldByTheRecordingStationsConnection) {
    ASSERT_TRUE(test::emptyServer());
    test::TcpProxy network{qEnvironmentVariable("PGHOST"),
                           quint16(qEnvironmentVariableIntValue("PGPORT"))};
    StoreThread thread;
    BatteryLeases a(thread, QString("host=127.0.0.1 port=%1").arg(network.port()), "A");
    auto b = std::make_unique<BatteryLeases>(thread, QString{}, "B");
    ASSERT_EQ(a.take(7).valueOr(false), true);
    QString holder;
    EXPECT_EQ(b->take(7, &holder).valueOr(true), false);
    EXPECT_EQ(holder, "A");
    EXPECT_EQ(b->take(8).valueOr(false), true); // another battery is free

    network.cut(); // A's network goes: the server lets the battery go with the connection
    ASSERT_TRUE(waitFor([&] { return b->take(7).valueOr(false); }));
    network.join();
    const auto checked = a.check();
    ASSERT_FALSE(checked);
    EXPECT_TRUE(checked.error().contains("7")) << checked.error().toStdString();
    EXPECT_EQ(b->holder(7).valueOr({}), ""); // B's own
    EXPECT_EQ(a.holder(7).valueOr({}), "B");

    b.reset(); // B's program ends
    EXPECT_EQ(a.take(7).valueOr(false), true);
    EXPECT_EQ(a.take(8).valueOr(false), true);
}

} // namespace
} // namespace velmara
