// The link through the serial port of the program on the simulator's
// pseudo-terminal: the line settings, a late answer that is not taken for the
// next one, a silent charger that leaves the event loop running, and a line
// that goes away.
#include "link/qtserialport.h"
#include "sim_process.h"
#include "support/temp_folder.h"

#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <termios.h>

namespace velmara::test {
namespace {

class LinkOnSim : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sim.available())
            GTEST_SKIP() << sim.error().toStdString();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(sim.launch(dir.filePath("charger"), {})) << sim.error().toStdString();
        auto owned = std::make_unique<QtSerialPort>(sim.linkPath());
        qt = &owned->port();
        link = std::make_unique<ChargerLink>(std::move(owned));
        ASSERT_TRUE(link->openComPort());
    }
    // A control command, with the time the simulator needs to read it.
    void command(const QByteArray& line) {
        sim.command(line);
        QThread::msleep(200);
    }
    QString status(int channel) { return QCoro::waitFor(link->getStatus(ChannelCode(channel))); }

    QTemporaryDir dir{testTempRoot() + "/link-XXXXXX"};
    SimulatedCharger sim;
    const QSerialPort* qt = nullptr;
    std::unique_ptr<ChargerLink> link;
};

TEST_F(LinkOnSim, LineSettingsAndALateAnswerThatIsNotTakenForTheNextOne) {
    // 9600 7E1 without flow control; a pty forces 8 bits without parity, so
    // only the speed shows on the line itself.
    EXPECT_EQ(
        std::tuple(qt->baudRate(), qt->dataBits(), qt->parity(), qt->stopBits(), qt->flowControl()),
        std::tuple(9600, QSerialPort::Data7, QSerialPort::EvenParity, QSerialPort::OneStop,
                   QSerialPort::NoFlowControl));
    termios t{};
    ASSERT_EQ(tcgetattr(qt->handle(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));

    EXPECT_EQ(status(1), "001,M,SA,");
    command("late 1 2500");
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(status(1), "");
    EXPECT_GE(timer.elapsed(), 990);
    QThread::msleep(2800 - timer.elapsed()); // the late answer is on the line now
    EXPECT_EQ(status(2), "002,M,SA,");
}

// While channel 1 stays silent the event loop keeps running, and a request
// made meanwhile waits its turn and gets its own answer, in pieces.
TEST_F(LinkOnSim, TheEventLoopRunsWhileARequestWaitsAndTheNextWaitsItsTurn) {
    command("silent 1\nsplit 1"); // the next answer comes in pieces
    auto silent = link->getStatus(ChannelCode(1));
    auto queued = link->getStatus(ChannelCode(2));
    ASSERT_FALSE(silent.isReady());
    ASSERT_FALSE(queued.isReady());
    int ticksWhileSilentWaits = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!silent.isReady())
            ++ticksWhileSilentWaits;
    });
    timer.start();
    EXPECT_EQ(QCoro::waitFor(std::move(queued)), "002,M,SA,");
    ASSERT_TRUE(silent.isReady());
    EXPECT_EQ(QCoro::waitFor(std::move(silent)), "");
    // The wait lasts at least one second: a running loop ticks far more often.
    EXPECT_GT(ticksWhileSilentWaits, 20);
}

TEST_F(LinkOnSim, AHungUpLineIsReportedOnceAndClosed) {
    EXPECT_EQ(status(1), "001,M,SA,");
    sim.stop();
    int faults = 0;
    QObject::connect(link.get(), &ChargerLink::lineFault, [&] { ++faults; });
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(status(1), "");
    EXPECT_EQ(faults, 1);
    EXPECT_FALSE(link->isComPortOpen());
}

} // namespace
} // namespace velmara::test
