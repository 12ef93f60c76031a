// One poll tick of a channel without the wait for the line (the fake port
// answers at once), and the cost of storing one measured value.
#include "base/core/programfolder.h"
#include "channel/core/channelcontroller.h"
#include "data/databases.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "link/chargerlink.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fake_serial_port.h"

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
    void setHeartbeat(bool) override {}
    void setFaultState(bool) override {}
    void setEndValueLines(const QList<EndValueDisplayLine>&,
                          const QList<EndValueDisplayLine>&) override {}
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
    void setStatusbarText(const QString&, const QString&, bool) override {}
    void setValuesWaiting(const QString&, int, const QString&) override {}
    qint32 next = 1;
};

QByteArray frame(const QByteArray& payload) {
    return QByteArray("\x14,") + payload + QByteArray(",\x03");
}

struct Channel {
    explicit Channel(Session& session) {
        clock = std::make_shared<FakeLinkClock>();
        auto p = std::make_unique<FakeSerialPort>(clock);
        port = p.get();
        link = std::make_unique<ChargerLink>(std::move(p), clock);
        link->openComPort();
        port->queueAnswer(frame("001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1"));
        port->queueAnswer(frame("001,D"));
        port->queueAnswer(frame("001,M,SL,L01500,V07200,K00100"));
        controller =
            std::make_unique<ChannelController>(session, ChannelCode(1), link.get(), host, display);
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
void BM_PollTickCharging(benchmark::State& state, Session* session) {
    Channel ch(*session);
    const QByteArray answer = frame("001,M,SL,L01500,V07200,K00350");
    for (auto _ : state) {
        ch.port->queueAnswer(answer);
        ch.controller->tick();
        ch.port->writes.clear();
    }
}

// An idle channel: one status request and the display; nothing stored.
void BM_PollTickIdle(benchmark::State& state, Session* session) {
    Channel ch(*session);
    ch.port->queueAnswer(frame("001,M,SA"));
    ch.controller->tick();
    const QByteArray answer = frame("001,M,SA");
    for (auto _ : state) {
        ch.port->queueAnswer(answer);
        ch.controller->tick();
        ch.port->writes.clear();
    }
}

// Storing one value: one row added and saved in TempMessWerte.
void BM_StoreOneTempValue(benchmark::State& state, Session* session) {
    Channel ch(*session);
    StatusRecord values;
    QString text = "001,M,SL,L01500,V07200,K00350,";
    values.parse(text);
    for (auto _ : state)
        ch.controller->recorder().writeTempValue(values);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Session session{ProgramFolder(dir.path())};
    if (!session.openMaster().ok || !session.openUser().ok ||
        !session.openStores(nullptr, QStringLiteral("de")) || !session.openRecordsets())
        return 1;
    benchmark::RegisterBenchmark("BM_PollTickCharging", BM_PollTickCharging, &session)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_PollTickIdle", BM_PollTickIdle, &session)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("BM_StoreOneTempValue", BM_StoreOneTempValue, &session)
        ->Unit(benchmark::kMicrosecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    session.closeFiles();
    return 0;
}
