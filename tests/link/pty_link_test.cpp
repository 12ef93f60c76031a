// The link on a real pseudo-terminal through the QSerialPort implementation:
// a responder thread on the master side plays the charger.
#include "link/qtserialport.h"
#include "link/velmaracomcommunication.h"
#include "support/scripted_messages.h"

#include <QElapsedTimer>
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

// What the charger sends back: pieces, each after a pause.
struct Reply {
    std::chrono::milliseconds pause;
    QByteArray bytes;
};
using Script = std::function<QList<Reply>(const QByteArray& request)>;

class PtyCharger {
public:
    explicit PtyCharger(Script script) : m_script(std::move(script)) {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_slave = QString::fromLocal8Bit(ptsname(m_master));
        m_thread = std::thread([this] { run(); });
    }
    ~PtyCharger() { hangUp(); }
    bool ok() const { return m_master >= 0 && !m_slave.isEmpty(); }
    const QString& slavePath() const { return m_slave; }
    int master() const { return m_master; }
    QList<QByteArray> requests() {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    // The far end goes away, as when the adapter is pulled.
    void hangUp() {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    void run() {
        QByteArray pending;
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN))
                continue;
            char buf[256];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                continue;
            pending.append(buf, n);
            qsizetype cr;
            while ((cr = pending.indexOf('\r')) >= 0) {
                const QByteArray request = pending.left(cr + 1);
                pending.remove(0, cr + 1);
                {
                    std::lock_guard lock(m_mutex);
                    m_requests.append(request);
                }
                for (const Reply& r : m_script(request)) {
                    std::this_thread::sleep_for(r.pause);
                    if (::write(m_master, r.bytes.constData(), r.bytes.size()) < 0)
                        return;
                }
            }
        }
    }

    Script m_script;
    int m_master = -1;
    QString m_slave;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QList<QByteArray> m_requests;
};

// Answers each request with the payload named for its body, sent as given.
QList<Reply> answerFor(const QByteArray& request) {
    const QByteArray body = request.mid(2, request.size() - 5);
    if (body == "001,M")
        return {{0ms, "\x14,001,M,SA,\x03"}};
    if (body == "002,M")
        return {{5ms, "\x14,002,M,SL,"}, {40ms, "L01500,V07"}, {40ms, "234,K00350,\x03\r"}};
    if (body == "003,M")
        return {{0ms, "\x14 003 garbage without end"}, {30ms, "\x03"}};
    return {}; // silent, as for a channel the charger does not have
}

TEST(PtyLinkTest, OpensTheSlaveWithSevenEvenOne) {
    PtyCharger charger(answerFor);
    ASSERT_TRUE(charger.ok());
    QtSerialPort port(charger.slavePath());
    ASSERT_TRUE(port.open()) << port.errorString().toStdString();
    // What the port was told: 9600 baud, 7 data bits, even parity, 1 stop bit, no flow control.
    const QSerialPort& qt = port.port();
    EXPECT_EQ(qt.baudRate(), 9600);
    EXPECT_EQ(qt.dataBits(), QSerialPort::Data7);
    EXPECT_EQ(qt.parity(), QSerialPort::EvenParity);
    EXPECT_EQ(qt.stopBits(), QSerialPort::OneStop);
    EXPECT_EQ(qt.flowControl(), QSerialPort::NoFlowControl);
    // What reached the line: a pty forces 8 bits without parity, so only the speed shows.
    termios t{};
    ASSERT_EQ(tcgetattr(charger.master(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_FALSE(t.c_cflag & CSTOPB);
}

TEST(PtyLinkTest, RequestsAndAnswersOverTheLine) {
    PtyCharger charger(answerFor);
    ASSERT_TRUE(charger.ok());
    VelmaraComCommunication link(std::make_unique<QtSerialPort>(charger.slavePath()));
    ASSERT_TRUE(link.openComPort());

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(link.getStatus("001"), "001,M,SA,");
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_EQ(link.getStatus("002"), "002,M,SL,L01500,V07234,K00350,"); // in pieces
    EXPECT_EQ(link.getStatus("003"), "-1");                             // garbage up to an ETX
    timer.restart();
    EXPECT_EQ(link.getStatus("004"), "");
    EXPECT_GE(timer.elapsed(), 990);
    EXPECT_LE(timer.elapsed(), 2200);

    EXPECT_EQ(charger.requests(), (QList<QByteArray>{"\x12,001,M,\x03\r", "\x12,002,M,\x03\r",
                                                     "\x12,003,M,\x03\r", "\x12,004,M,\x03\r"}));
}

TEST(PtyLinkTest, ALateAnswerOnTheLineIsDropped) {
    // Channel 4 answers only after the wait has given up.
    PtyCharger charger([](const QByteArray& request) -> QList<Reply> {
        if (request.contains("004,M"))
            return {{2100ms, "\x14,004,M,SA,\x03"}};
        return answerFor(request);
    });
    ASSERT_TRUE(charger.ok());
    VelmaraComCommunication link(std::make_unique<QtSerialPort>(charger.slavePath()));
    ASSERT_TRUE(link.openComPort());
    EXPECT_EQ(link.getStatus("004"), "");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(link.getStatus("001"), "001,M,SA,");
}

TEST(PtyLinkTest, AHungUpLineIsReportedOnceAndClosed) {
    PtyCharger charger(answerFor);
    ASSERT_TRUE(charger.ok());
    VelmaraComCommunication link(std::make_unique<QtSerialPort>(charger.slavePath()));
    ASSERT_TRUE(link.openComPort());
    EXPECT_EQ(link.getStatus("001"), "001,M,SA,");

    charger.hangUp();
    test::ScriptedMessages boxes;
    boxes.answerAllWith(MsgAnswer::Ok);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(link.getStatus("001"), "");
    EXPECT_EQ(boxes.shown.size(), 1);
    EXPECT_FALSE(link.isComPortOpen());
    EXPECT_LT(timer.elapsed(), 2500); // no full wait on a line that is gone
}

} // namespace
