// The link on the in-memory port: request frames byte for byte, collecting and
// unwrapping answers, the wait on a fake clock, requests that wait their turn
// on the line, and a device that goes away and comes back.
#include "link/chargerlink.h"
#include "support/fake_serial_port.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <utility>

using namespace velmara;
using Piece = FakeSerialPort::Piece;

namespace {

const QByteArray DC4 = "\x14";
const QByteArray ETX = "\x03";

// The fake port never makes a request wait, so its answer is there at once.
QString answer(QCoro::Task<QString> request) {
    return QCoro::waitFor(std::move(request));
}

struct Rig {
    // The clock starts `intoSecond` milliseconds into a whole second.
    explicit Rig(qint64 intoSecond = 0)
        : clock(std::make_shared<FakeLinkClock>(1'700'000'000'000 + intoSecond)) {
        auto p = std::make_unique<FakeSerialPort>(clock);
        port = p.get();
        link = std::make_unique<ChargerLink>(std::move(p), clock);
        EXPECT_TRUE(link->openComPort());
    }
    qint64 elapsedSince(qint64 t0) const { return clock->nowMs() - t0; }

    std::shared_ptr<FakeLinkClock> clock;
    FakeSerialPort* port;
    std::unique_ptr<ChargerLink> link;
};

TEST(LinkFramesTest, EveryRequestIsOneWriteOfTheFramedBody) {
    struct Case {
        std::function<void(ChargerLink&)> call;
        QByteArray bytes;
    };
    const Case cases[] = {
        {[](auto& l) { l.getStatus(ChannelCode(1)); }, QByteArray::fromHex("122c3030312c4d2c030d")},
        {[](auto& l) { l.getEndValues(ChannelCode(2)); }, "\x12,002,D,\x03\r"},
        {[](auto& l) { l.getProgram(ChannelCode(3)); }, "\x12,003,W,\x03\r"},
        {[](auto& l) { l.sendProgram("001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000"); },
         "\x12,001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,\x03\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        Rig rig;
        c.call(*rig.link);
        ASSERT_EQ(rig.port->writes.size(), 1);
        EXPECT_EQ(rig.port->writes.at(0), c.bytes);
    }
}

TEST(LinkFramesTest, ARequestForNoChannelNeverGoesOnTheLine) {
    Rig rig;
    const qint64 t0 = rig.clock->nowMs();
    EXPECT_EQ(answer(rig.link->getStatus(ChannelCode())), "");
    EXPECT_EQ(answer(rig.link->getEndValues(ChannelCode(0))), "");
    EXPECT_EQ(answer(rig.link->getProgram(ChannelCode(5))), "");
    EXPECT_TRUE(rig.port->writes.isEmpty());
    EXPECT_EQ(rig.elapsedSince(t0), 0); // no wait for an answer that cannot come
}

TEST(LinkAnswerTest, CollectsAndUnwrapsTheAnswer) {
    struct Case {
        const char* name;
        QList<Piece> pieces;
        QString result;
    };
    const QList<Case> cases = {
        {"spaces around pieces",
         {{"  " + DC4 + ",001,M ", 5}, {" ,S A," + ETX + "  ", 5}},
         "001,M,S A,"},
        {"bytes after the ETX",
         {{DC4 + ",001,M,SA," + ETX + "\r" + DC4 + ",junk", 5}},
         "001,M,SA,"},
        {"DC4 SEP ETX", {{DC4 + "," + ETX, 5}}, ""},
        {"DC4 ETX", {{DC4 + ETX, 5}}, "-1"},
        {"DC4 missing", {{",001,M,SA," + ETX, 5}}, "-1"},
        {"no SEP after DC4", {{DC4 + "001,M,SA," + ETX, 5}}, "-1"},
        {"silence", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.port->queueAnswer(c.pieces);
        EXPECT_EQ(answer(rig.link->getStatus(ChannelCode(1))), c.result);
    }
}

// Silence ends at the second whole clock second; an answer ends the wait as soon
// as its ETX is in. The link blocks on the port with the time left, never polls.
TEST(LinkWaitTest, WaitsForTheEtxOrTheSecondWholeClockSecond) {
    const struct {
        qint64 intoSecond;
        QList<Piece> pieces;
        QString result;
        qint64 waited;
    } cases[] = {
        {0, {}, "", 2000},
        {999, {}, "", 1001},
        {300, {{DC4 + ",001,M", 20}, {",SA," + ETX, 25}, {"trailing", 500}}, "001,M,SA,", 45},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.intoSecond);
        Rig rig(c.intoSecond);
        rig.port->queueAnswer(c.pieces);
        const qint64 t0 = rig.clock->nowMs();
        EXPECT_EQ(answer(rig.link->getStatus(ChannelCode(1))), c.result);
        EXPECT_EQ(rig.elapsedSince(t0), c.waited);
        EXPECT_EQ(rig.port->waits.value(0), 2000 - c.intoSecond);
        EXPECT_LE(rig.port->readCalls, 3);
    }
}

// Requests made while one waits for its answer wait their turn: the line
// carries one request at a time, in the order asked, and each caller gets the
// answer to its own request.
TEST(LinkQueueTest, RequestsWaitTheirTurnAndGetTheirOwnAnswers) {
    Rig rig;
    rig.port->holdWaits(true);
    rig.port->queueAnswer(DC4 + ",001,M,SA," + ETX, 40);
    rig.port->queueAnswer(DC4 + ",002,D," + ETX, 40);
    rig.port->queueAnswer(DC4 + ",003,P,A05,M02," + ETX, 40);
    auto first = rig.link->getStatus(ChannelCode(1));
    auto second = rig.link->getEndValues(ChannelCode(2));
    auto third = rig.link->getProgram(ChannelCode(3));
    EXPECT_EQ(rig.port->writes.size(), 1);
    EXPECT_EQ(rig.link->requestsWaiting(), 2);
    QStringList order;
    for (int step = 0; step < 3; ++step) {
        ASSERT_TRUE(rig.port->waitHeld());
        order << rig.port->writes.last();
        rig.port->releaseWait();
    }
    EXPECT_EQ(order, (QStringList{"\x12,001,M,\x03\r", "\x12,002,D,\x03\r", "\x12,003,W,\x03\r"}));
    ASSERT_TRUE(first.isReady() && second.isReady() && third.isReady());
    EXPECT_EQ(answer(std::move(first)), "001,M,SA,");
    EXPECT_EQ(answer(std::move(second)), "002,D,");
    EXPECT_EQ(answer(std::move(third)), "003,P,A05,M02,");
    EXPECT_FALSE(rig.link->isBusy());
}

// The end of the program: the request on the line and the ones behind it end
// at once without an answer, and nothing more is written.
TEST(LinkQueueTest, EndingAllRequestsAnswersEveryWaiterAndWritesNothingMore) {
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "link destroyed" : "endAllRequests");
        Rig rig;
        rig.port->holdWaits(true);
        auto onLine = rig.link->getStatus(ChannelCode(1));
        auto waiting = rig.link->getStatus(ChannelCode(2));
        const auto writes = rig.port->writes;
        if (destroy)
            rig.link.reset();
        else
            rig.link->endAllRequests();
        ASSERT_TRUE(onLine.isReady() && waiting.isReady());
        EXPECT_EQ(answer(std::move(onLine)), "");
        EXPECT_EQ(answer(std::move(waiting)), "");
        if (!destroy) { // (a destroyed link took its port along)
            EXPECT_EQ(rig.port->writes, writes);
            EXPECT_EQ(answer(rig.link->getStatus(ChannelCode(3))), "");
            EXPECT_EQ(rig.port->writes, writes);
        }
    }
}

TEST(LinkFaultTest, AVanishedDeviceIsClosedReportedOnceAndReopenedWhenBack) {
    Rig rig;
    QStringList line; // what the link told its owner
    QObject::connect(rig.link.get(), &ChargerLink::lineFault,
                     [&](int, const QString&, bool lost) { line << (lost ? "lost" : "fault"); });
    QObject::connect(rig.link.get(), &ChargerLink::lineRecovered, [&] { line << "recovered"; });
    rig.port->unplug();
    EXPECT_EQ(answer(rig.link->getStatus(ChannelCode(1))), "");
    EXPECT_FALSE(rig.link->isComPortOpen());
    const int opensWhileGone = rig.port->openCalls;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(answer(rig.link->getStatus(ChannelCode(2))), "");
    EXPECT_EQ(std::exchange(line, {}), QStringList{"lost"});
    EXPECT_EQ(rig.port->openCalls, opensWhileGone); // no open while the path is gone

    rig.port->plugIn();
    rig.port->queueAnswer(DC4 + ",001,M,SA," + ETX, 10);
    EXPECT_EQ(answer(rig.link->getStatus(ChannelCode(1))), "001,M,SA,");
    EXPECT_TRUE(rig.link->isComPortOpen());
    EXPECT_EQ(std::exchange(line, {}), QStringList{"recovered"});

    // Closed on purpose: no reopening behind the user's back.
    rig.link->closeComPort();
    EXPECT_EQ(answer(rig.link->getStatus(ChannelCode(1))), "");
    EXPECT_FALSE(rig.link->isComPortOpen());
    EXPECT_EQ(line.size(), 1);
}

// A new port chosen while a request waits: that request ends without an
// answer, the one behind it goes out over the new port, and the same link
// object goes on.
TEST(LinkReopenTest, ANewPortDuringAWaitEndsThatRequestAndKeepsTheQueue) {
    Rig rig;
    rig.port->holdWaits(true);
    auto next = std::make_unique<FakeSerialPort>(rig.clock);
    FakeSerialPort* nextPort = next.get();
    rig.port->queueAnswer(DC4 + ",001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1," + ETX,
                          1500);
    nextPort->queueAnswer(DC4 + ",002,M,SA," + ETX, 10);
    auto onLine = rig.link->getProgram(ChannelCode(1));
    auto behind = rig.link->getStatus(ChannelCode(2));
    ASSERT_FALSE(onLine.isReady());
    EXPECT_TRUE(rig.link->reopenPort(std::move(next)));
    ASSERT_TRUE(onLine.isReady());
    EXPECT_EQ(answer(std::move(onLine)), "");
    ASSERT_TRUE(behind.isReady());
    EXPECT_EQ(answer(std::move(behind)), "002,M,SA,");
    EXPECT_EQ(&rig.link->port(), nextPort);
    EXPECT_TRUE(rig.link->isComPortOpen());
    EXPECT_EQ(nextPort->writes, QList<QByteArray>{"\x12,002,M,\x03\r"});
}

} // namespace
