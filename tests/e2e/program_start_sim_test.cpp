// A program started at the charger itself (the simulator's "start" command)
// reaches the channel without the computer asking for it: the charger reports
// it in place of the next status answer, and the channel shows it.
#include "../channel/channel_fixture.h"

#include "sim_process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace velmara::test {
namespace {

class ProgramStartSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (!charger.available())
            GTEST_SKIP() << charger.error().toStdString();
        ASSERT_TRUE(openProgramFiles(folder.session(), "de"));
        ASSERT_TRUE(folder.session().openRecordsets());
        ASSERT_TRUE(
            charger.start(folder.path(), {"--channels", "1", "--battery", "1,NiMH,6,2000,50"}))
            << charger.error().toStdString();
    }
    void TearDown() override {
        channel.reset();
        charger.stop();
        folder.session().closeFiles();
    }
    void settle() {
        QElapsedTimer t;
        t.start();
        while (channel->isBusy() && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    TempProgramFolder folder;
    SimulatedCharger charger;
    FakeHost host;
    FakeDisplay display;
    std::unique_ptr<ChannelController> channel;
};

TEST_F(ProgramStartSim, TheChannelShowsAProgramStartedAtTheCharger) {
    channel = std::make_unique<ChannelController>(folder.session(), ChannelCode(1), charger.link(),
                                                  host, display);
    channel->load(false);
    settle();
    // A channel that never ran a program reports the charger's default: charging NiMH.
    ASSERT_EQ(display[ChannelField::Mode], "Laden");
    ASSERT_EQ(display[ChannelField::Status], folder.session().text("6010"));

    charger.command("start 001,P,A02,M02,Z06,F1,W30,L01000,E00800,V07200,D06000");
    QElapsedTimer t;
    t.start();
    while (display[ChannelField::Mode] != "Entladen" && t.elapsed() < 10000) {
        QCoro::waitFor(channel->tick());
        QThread::msleep(50);
    }
    EXPECT_EQ(display[ChannelField::Mode], "Entladen");
    EXPECT_EQ(display[ChannelField::AkkuTyp], "NiMH");
    EXPECT_EQ(channel->program().dischargeCurrentMa, 800);
}

} // namespace
} // namespace velmara::test
