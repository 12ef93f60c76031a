// The link on a real pseudo-terminal while the charger stays silent: the event
// loop keeps running during the wait, and a request made meanwhile waits its
// turn, goes out only after the silent one has ended and gets its own answer.
#include "link/qtserialport.h"
#include "link/chargerlink.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

using namespace velmara;

namespace {

// The master side of a pseudo-terminal: channel 1 never answers, channel 2
// answers at once. Records every request frame with the time it came in.
class SilentChannelOne {
public:
    SilentChannelOne() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        slave = QString::fromLocal8Bit(ptsname(m_master));
        m_clock.start();
        m_thread = std::thread([this] { run(); });
    }
    ~SilentChannelOne() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
    }
    struct Frame {
        QByteArray bytes;
        qint64 atMs;
    };
    QList<Frame> frames() {
        std::lock_guard lock(m_mutex);
        return m_frames;
    }
    QString slave;

private:
    void run() {
        QByteArray pending;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            char buf[256];
            const ssize_t n = ::poll(&p, 1, 10) > 0 ? ::read(m_master, buf, sizeof buf) : 0;
            if (n > 0)
                pending.append(buf, n);
            for (qsizetype cr; (cr = pending.indexOf('\r')) >= 0; pending.remove(0, cr + 1)) {
                const QByteArray frame = pending.left(cr + 1);
                {
                    std::lock_guard lock(m_mutex);
                    m_frames.append({frame, m_clock.elapsed()});
                }
                if (frame == "\x12,002,M,\x03\r") {
                    const QByteArray answer = "\x14,002,M,SA,\x03";
                    if (::write(m_master, answer.constData(), answer.size()) < 0)
                        return;
                }
            }
        }
    }

    int m_master = -1;
    QElapsedTimer m_clock;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QList<Frame> m_frames;
};

TEST(PtyQueueTest, TheEventLoopRunsWhileARequestWaitsAndTheNextWaitsItsTurn) {
    SilentChannelOne charger;
    ASSERT_FALSE(charger.slave.isEmpty());
    ChargerLink link(std::make_unique<QtSerialPort>(charger.slave));
    ASSERT_TRUE(link.openComPort());

    auto silent = link.getStatus("001");
    auto queued = link.getStatus("002");
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
    EXPECT_EQ(QCoro::waitFor(std::move(queued)), "002,M,SA,");
    timer.stop();
    ASSERT_TRUE(silent.isReady());
    EXPECT_EQ(QCoro::waitFor(std::move(silent)), "");
    // The wait lasts at least one second: a running loop ticks far more than
    // this many times meanwhile, a blocked one not at all.
    EXPECT_GT(ticksWhileSilentWaits, 20);

    // The charger saw the two requests one after the other, the second only
    // once the first one's wait was over.
    const auto frames = charger.frames();
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0].bytes, "\x12,001,M,\x03\r");
    EXPECT_EQ(frames[1].bytes, "\x12,002,M,\x03\r");
    EXPECT_GE(frames[1].atMs - frames[0].atMs, 900);
    EXPECT_FALSE(link.isBusy());
}

} // namespace
