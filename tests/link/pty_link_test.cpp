// The link on a real pseudo-terminal through the QSerialPort implementation:
// a responder thread on the master side plays the charger.
#include "link/chargerlink.h"
#include "link/qtserialport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace velmara;
using namespace std::chrono_literals;

namespace {

// What the charger sends back to an exact request frame: pieces, each after a pause.
struct Reply {
    std::chrono::milliseconds pause;
    QByteArray bytes;
};
QList<Reply> answerFor(const QByteArray& request) {
    if (request == "\x12,001,M,\x03\r")
        return {{0ms, "\x14,001,M,SA,\x03"}};
    if (request == "\x12,002,M,\x03\r")
        return {{5ms, "\x14,002,M,SL,"}, {40ms, "L01500,V07"}, {40ms, "234,K00350,\x03\r"}};
    if (request == "\x12,003,M,\x03\r")
        return {{0ms, "\x14 003 garbage without end"}, {30ms, "\x03"}};
    if (request == "\x12,004,M,\x03\r") // after the wait has given up
        return {{2100ms, "\x14,004,M,SA,\x03"}};
    return {};
}

// The master side of a pseudo-terminal, answering on a thread of its own.
// Records every request frame with the time it came in.
struct PtyCharger {
    using Answers = std::function<QList<Reply>(const QByteArray&)>;
    explicit PtyCharger(Answers answers = answerFor) : answers(std::move(answers)) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        slave = QString::fromLocal8Bit(ptsname(master));
        clock.start();
        thread = std::thread([this] { run(); });
    }
    ~PtyCharger() { hangUp(); }
    // The far end goes away, as when the adapter is pulled.
    void hangUp() {
        stop = true;
        if (thread.joinable())
            thread.join();
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void run() {
        QByteArray pending;
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            char buf[256];
            const ssize_t n = ::poll(&p, 1, 20) > 0 ? ::read(master, buf, sizeof buf) : 0;
            if (n > 0)
                pending.append(buf, n);
            for (qsizetype cr; (cr = pending.indexOf('\r')) >= 0; pending.remove(0, cr + 1)) {
                const QByteArray frame = pending.left(cr + 1);
                {
                    std::lock_guard lock(mutex);
                    frames.append({frame, clock.elapsed()});
                }
                for (const Reply& r : answers(frame)) {
                    std::this_thread::sleep_for(r.pause);
                    if (::write(master, r.bytes.constData(), r.bytes.size()) < 0)
                        return;
                }
            }
        }
    }
    struct Frame {
        QByteArray bytes;
        qint64 atMs;
    };
    QList<Frame> received() {
        std::lock_guard lock(mutex);
        return frames;
    }

    Answers answers;
    int master = -1;
    QString slave;
    QElapsedTimer clock;
    std::thread thread;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    QList<Frame> frames;
};

TEST(PtyLinkTest, RequestsAndAnswersOverTheLine) {
    PtyCharger charger;
    ASSERT_FALSE(charger.slave.isEmpty());
    auto owned = std::make_unique<QtSerialPort>(charger.slave);
    const QSerialPort& qt = owned->port();
    ChargerLink link(std::move(owned));
    ASSERT_TRUE(link.openComPort());
    // 9600 7E1 without flow control; a pty forces 8 bits without parity, so only the speed shows.
    EXPECT_EQ(
        std::tuple(qt.baudRate(), qt.dataBits(), qt.parity(), qt.stopBits(), qt.flowControl()),
        std::tuple(9600, QSerialPort::Data7, QSerialPort::EvenParity, QSerialPort::OneStop,
                   QSerialPort::NoFlowControl));
    termios t{};
    ASSERT_EQ(tcgetattr(charger.master, &t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));

    EXPECT_EQ(QCoro::waitFor(link.getStatus(ChannelCode(1))), "001,M,SA,");
    EXPECT_EQ(QCoro::waitFor(link.getStatus(ChannelCode(2))),
              "002,M,SL,L01500,V07234,K00350,");                     // in pieces
    EXPECT_EQ(QCoro::waitFor(link.getStatus(ChannelCode(3))), "-1"); // garbage up to an ETX
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(QCoro::waitFor(link.getStatus(ChannelCode(4))),
              ""); // how long it waits: link_test with its clock
    EXPECT_GE(timer.elapsed(), 990);
    // The late answer is on the line now; the next request must not take it.
    std::this_thread::sleep_for(std::chrono::milliseconds(2400 - timer.elapsed()));
    EXPECT_EQ(QCoro::waitFor(link.getStatus(ChannelCode(1))), "001,M,SA,");
}

TEST(PtyLinkTest, AHungUpLineIsReportedOnceAndClosed) {
    PtyCharger charger;
    ASSERT_FALSE(charger.slave.isEmpty());
    ChargerLink link(std::make_unique<QtSerialPort>(charger.slave));
    ASSERT_TRUE(link.openComPort());
    EXPECT_EQ(QCoro::waitFor(link.getStatus(ChannelCode(1))), "001,M,SA,");

    charger.hangUp();
    int faults = 0;
    QObject::connect(&link, &ChargerLink::lineFault, [&] { ++faults; });
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(QCoro::waitFor(link.getStatus(ChannelCode(1))), "");
    EXPECT_EQ(faults, 1);
    EXPECT_FALSE(link.isComPortOpen());
}

// While channel 1 stays silent the event loop keeps running, and a request
// made meanwhile waits its turn, goes out only after the silent one has ended
// and gets its own answer.
TEST(PtyLinkTest, TheEventLoopRunsWhileARequestWaitsAndTheNextWaitsItsTurn) {
    PtyCharger charger([](const QByteArray& request) {
        return request == "\x12,002,M,\x03\r" ? answerFor(request) : QList<Reply>();
    });
    ASSERT_FALSE(charger.slave.isEmpty());
    ChargerLink link(std::make_unique<QtSerialPort>(charger.slave));
    ASSERT_TRUE(link.openComPort());

    auto silent = link.getStatus(ChannelCode(1));
    auto queued = link.getStatus(ChannelCode(2));
    ASSERT_FALSE(silent.isReady());
    ASSERT_FALSE(queued.isReady());
    EXPECT_EQ(link.requestsWaiting(), 1);

    // A 10 ms timer keeps firing while the silent request waits.
    int ticksWhileSilentWaits = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!silent.isReady())
            ++ticksWhileSilentWaits;
    });
    timer.start();
    EXPECT_EQ(QCoro::waitFor(std::move(queued)), "002,M,SL,L01500,V07234,K00350,");
    timer.stop();
    ASSERT_TRUE(silent.isReady());
    EXPECT_EQ(QCoro::waitFor(std::move(silent)), "");
    // The wait lasts at least one second: a running loop ticks far more than
    // this many times meanwhile, a blocked one not at all.
    EXPECT_GT(ticksWhileSilentWaits, 20);

    // The charger saw the second request only once the first one's wait was over.
    const auto frames = charger.received();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0].bytes, "\x12,001,M,\x03\r");
    EXPECT_EQ(frames[1].bytes, "\x12,002,M,\x03\r");
    EXPECT_GE(frames[1].atMs - frames[0].atMs, 900);
    EXPECT_FALSE(link.isBusy());
}

} // namespace
