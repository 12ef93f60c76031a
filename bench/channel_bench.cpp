// One poll tick of a channel without the wait for the line (the fake port
// answers at once), and the cost of storing one measured value.
#include "data/session.h"
#include "channel/core/channelcontroller.h"
#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "link/fakeserialport.h"
#include "link/chargerlink.h"
#include "base/core/programfolder.h"
#include "data/textstore.h"
#include "data/settingsstore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QHash>
#include <QTemporaryDir>

using namespace velmara;

namespace {

class NullDisplay : public ChannelDisplay {
public:
    void setText(ChannelField f, const QString& t) override { texts[int(f)] = t; }
    QString text(ChannelField f) const override { return texts.value(int(f)); }
    void setVisible(ChannelField, bool) override {}
    void setStatusFrameRed(bool) override {}
    void setEndValueLines(const QList<EndValueDisplayLine>&, const QList<EndValueDisplayLine>&) override {}
    void setStorageWarning(const QString&) override {}
    void setValuesStale(bool) override {}
    void reportFault(qint16, const Message&) override {}
    QHash<int, QString> texts;
};

class CountingHost : public ChannelHost {
public:
    bool chargerMissing() const override { return false; }
    void setChargerMissing(bool) override {}
    qint32 newTempSeriesId() override { return next++; }
    void setStatusbarText(const QString&, const QString&) override {}
    void setValuesWaiting(const QString&, int, const QString&) override {}
    qint32 next = 1;
};

QByteArray frame(const QByteArray& payload) {
    return QByteArray("\x14,") + payload + QByteArray(",\x03");
}

struct Channel {
    Channel() {
        clock = std::make_shared<FakeLinkClock>();
        auto p = std::make_unique<FakeSerialPort>(clock);
        port = p.get();
        link = std::make_unique<ChargerLink>(std::move(p), clock);
        link->openComPort();
        port->queueAnswer(frame("001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1"));
        port->queueAnswer(frame("001,D"));
        port->queueAnswer(frame("001,M,SL,L01500,V07200,K00100"));
        controller = std::make_unique<ChannelController>(ChannelCode(1), link.get(), host, display);
        controller->load(false);
    }
    std::shared_ptr<FakeLinkClock> clock;
    FakeSerialPort* port = nullptr;
    std::unique_ptr<ChargerLink> link;
    NullDisplay display;
    CountingHost host;
    std::unique_ptr<ChannelController> controller;
};

// A charging channel: one status request, the display, one temporary value.
void BM_PollTickCharging(benchmark::State& state) {
    Channel ch;
    const QByteArray answer = frame("001,M,SL,L01500,V07200,K00350");
    for (auto _ : state) {
        ch.port->queueAnswer(answer);
        ch.controller->tick();
        ch.port->writes.clear();
    }
}
BENCHMARK(BM_PollTickCharging)->Unit(benchmark::kMicrosecond);

// An idle channel: one status request and the display; nothing stored.
void BM_PollTickIdle(benchmark::State& state) {
    Channel ch;
    ch.port->queueAnswer(frame("001,M,SA"));
    ch.controller->tick();
    const QByteArray answer = frame("001,M,SA");
    for (auto _ : state) {
        ch.port->queueAnswer(answer);
        ch.controller->tick();
        ch.port->writes.clear();
    }
}
BENCHMARK(BM_PollTickIdle)->Unit(benchmark::kMicrosecond);

// Storing one value: one row added and saved in TempMessWerte.
void BM_StoreOneTempValue(benchmark::State& state) {
    Channel ch;
    StatusRecord values;
    QString text = "001,M,SL,L01500,V07200,K00350,";
    values.parse(text);
    for (auto _ : state)
        ch.controller->recorder().writeTempValue(values);
}
BENCHMARK(BM_StoreOneTempValue)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Session session{ProgramFolder(dir.path())};
    if (!openMasterDatabase() || !openUserDatabase())
        return 1;
    currentSession()->settings().setRecordset(
        masterDatabase()->openRecordset("SELECT * FROM Optionen"));
    currentSession()->texts().setRecordset(
        masterDatabase()->openRecordset("SELECT * FROM NLSResources"));
    currentSession()->texts().setLanguageKey("de");
    if (!openSharedRecordsets())
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    closeDatabases();
    return 0;
}
