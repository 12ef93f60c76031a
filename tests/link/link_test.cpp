// The link on the in-memory port: request frames byte for byte, collecting and
// unwrapping answers, the wait on a fake clock, the guard against a second
// request during channel 1's yield, and the reporting of serial faults.
#include "link/fakeserialport.h"
#include "link/velmaracomcommunication.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <gtest/gtest.h>

#include <utility>

using namespace velmara;
using Piece = FakeSerialPort::Piece;

namespace {

const QByteArray DC4 = "\x14";
const QByteArray ETX = "\x03";

struct Rig {
    // The clock starts `intoSecond` milliseconds into a whole second.
    explicit Rig(qint64 intoSecond = 0)
        : clock(std::make_shared<FakeLinkClock>(1'700'000'000'000 + intoSecond)) {
        auto p = std::make_unique<FakeSerialPort>(clock);
        port = p.get();
        link = std::make_unique<VelmaraComCommunication>(std::move(p), clock);
        EXPECT_TRUE(link->openComPort());
    }
    qint64 elapsedSince(qint64 t0) const { return clock->nowMs() - t0; }

    std::shared_ptr<FakeLinkClock> clock;
    FakeSerialPort* port;
    std::unique_ptr<VelmaraComCommunication> link;
};

TEST(LinkFramesTest, EveryRequestIsOneWriteOfTheFramedBody) {
    struct Case {
        std::function<void(VelmaraComCommunication&)> call;
        QByteArray bytes;
    };
    const Case cases[] = {
        {[](auto& l) { l.getStatus("001"); }, QByteArray::fromHex("122c3030312c4d2c030d")},
        {[](auto& l) { l.getEndwert("002"); }, "\x12,002,D,\x03\r"},
        {[](auto& l) { l.getProgram("003"); }, "\x12,003,W,\x03\r"},
        {[](auto& l) { l.sendProgram("001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000"); },
         "\x12,001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,\x03\r"},
        {[](auto& l) { // hands back the framed text
             QString message = "004,M";
             EXPECT_TRUE(l.sendString(message));
             EXPECT_EQ(message, QString::fromLatin1("\x12,004,M,\x03\r"));
         },
         "\x12,004,M,\x03\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        Rig rig;
        c.call(*rig.link);
        ASSERT_EQ(rig.port->writes.size(), 1);
        EXPECT_EQ(rig.port->writes.at(0), c.bytes);
    }
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
        EXPECT_EQ(rig.link->getStatus("001"), c.result);
    }
}

TEST(LinkWaitTest, SilenceEndsAtTheSecondWholeClockSecond) {
    for (auto [intoSecond, waited] : {std::pair{0, 2000}, {999, 1001}}) {
        SCOPED_TRACE(intoSecond);
        Rig rig(intoSecond);
        const qint64 t0 = rig.clock->nowMs();
        EXPECT_EQ(rig.link->getStatus("001"), "");
        EXPECT_EQ(rig.elapsedSince(t0), waited);
        // It blocks on the port with the remaining time instead of polling.
        EXPECT_EQ(rig.port->waits, QList<int>{waited});
        EXPECT_LE(rig.port->readCalls, 3);
    }
}

TEST(LinkWaitTest, EndsAsSoonAsTheEtxIsIn) {
    Rig rig(300);
    rig.port->queueAnswer({{DC4 + ",001,M", 20}, {",SA," + ETX, 25}, {"trailing", 500}});
    const qint64 t0 = rig.clock->nowMs();
    EXPECT_EQ(rig.link->getStatus("001"), "001,M,SA,");
    EXPECT_EQ(rig.elapsedSince(t0), 45);
    // The second wait asked for what was left of the time after the first piece.
    ASSERT_GE(rig.port->waits.size(), 2);
    EXPECT_EQ(rig.port->waits.at(0), 1700);
    EXPECT_EQ(rig.port->waits.at(1), 1680);
}

TEST(LinkWaitTest, ALateAnswerIsNotTakenForTheNextOne) {
    Rig rig;
    // Channel 1 answers after the wait has ended ...
    rig.port->queueAnswer(DC4 + ",001,M,SL,L01500,V07234,K00350," + ETX, 2500);
    EXPECT_EQ(rig.link->getStatus("001"), "");
    rig.clock->advance(1000); // the late answer is in the receive buffer now
    ASSERT_FALSE(rig.port->waitingBytes().isEmpty());
    // ... and the next request, for channel 2, gets its own answer.
    rig.port->queueAnswer(DC4 + ",002,M,SA," + ETX, 30);
    EXPECT_EQ(rig.link->getStatus("002"), "002,M,SA,");
    EXPECT_GT(rig.port->discarded, 0);
}

TEST(LinkYieldTest, OnlyChannelOneProgramRequestWithNoQmtYields) {
    for (auto [channel, noQmt, yields] :
         {std::tuple{"001", true, true}, {"001", false, false}, {"002", true, false}}) {
        SCOPED_TRACE(std::string(channel) + (noQmt ? " noQmt" : ""));
        Rig rig;
        bool ranDuringWait = false;
        QTimer::singleShot(0, [&] { ranDuringWait = rig.link->isBusy(); });
        EXPECT_EQ(rig.link->getProgram(channel, noQmt), "");
        EXPECT_EQ(ranDuringWait, yields);
        QCoreApplication::processEvents(); // let the timer of a non-yielding case go
        // Yielding waits in short slices so the user interface stays responsive.
        for (int w : rig.port->waits)
            EXPECT_LE(w, yields ? 50 : 2000);
    }
}

TEST(LinkYieldTest, NoSecondRequestReachesTheLineDuringTheYield) {
    Rig rig;
    rig.port->queueAnswer(DC4 + ",001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1," + ETX,
                          300);
    QStringList nested;
    int timerRuns = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++timerRuns;
        nested << rig.link->getStatus("002") << rig.link->getEndwert("003")
               << rig.link->getProgram("001", true) << rig.link->sendProgram("004,P");
        QString msg = "002,M";
        EXPECT_FALSE(rig.link->sendString(msg));
    });
    timer.start();
    const QString answer = rig.link->getProgram("001", true);
    timer.stop();
    EXPECT_TRUE(answer.startsWith("001,P,A05"));
    EXPECT_GT(timerRuns, 0);
    for (const QString& n : nested)
        EXPECT_EQ(n, "");
    EXPECT_EQ(rig.port->writes.size(), 1);
    // Once the wait is over, requests go through again.
    rig.port->queueAnswer(DC4 + ",002,M,SA," + ETX, 10);
    EXPECT_EQ(rig.link->getStatus("002"), "002,M,SA,");
}

// What the link told its owner about the line, as "fault <number> <description>"
// and "recovered"; the link shows nothing itself.
struct LineEvents {
    explicit LineEvents(VelmaraComCommunication& link) {
        QObject::connect(&link, &VelmaraComCommunication::lineFault,
                         [this](int n, const QString& text, bool lost) {
                             events
                                 << QString("fault %1 %2%3").arg(n).arg(text, lost ? " lost" : "");
                         });
        QObject::connect(&link, &VelmaraComCommunication::lineRecovered,
                         [this] { events << "recovered"; });
    }
    QStringList take() { return std::exchange(events, {}); }
    QStringList events;
};

TEST(LinkFaultTest, AFaultIsReportedOncePerOutageAndTheRecoveryOnce) {
    Rig rig;
    LineEvents line(*rig.link);
    rig.link->closeComPort();
    for (const char* channel : {"001", "002", "003"})
        EXPECT_EQ(rig.link->getStatus(channel), "");
    EXPECT_EQ(line.take(), QStringList{"fault 13 Device not open"});
    EXPECT_TRUE(rig.port->writes.isEmpty());

    // A request that works ends the outage; the next fault is reported again.
    ASSERT_TRUE(rig.link->openComPort());
    rig.port->queueAnswer(DC4 + ",001,M,SA," + ETX, 10);
    EXPECT_EQ(rig.link->getStatus("001"), "001,M,SA,");
    rig.port->queueAnswer(DC4 + ",001,M,SA," + ETX, 10);
    EXPECT_EQ(rig.link->getStatus("001"), "001,M,SA,");
    EXPECT_EQ(line.take(), QStringList{"recovered"});
    rig.port->failNextRead(SerialError::Read);
    const qint64 t0 = rig.clock->nowMs();
    EXPECT_EQ(rig.link->getStatus("001"), "");
    EXPECT_EQ(rig.elapsedSince(t0), 0); // a read fault ends the wait at once

    // A write fault is reported too, but the wait still runs.
    rig.port->queueAnswer(DC4 + ",001,M,SA," + ETX, 10);
    EXPECT_EQ(rig.link->getStatus("001"), "001,M,SA,");
    rig.port->failNextWrite(SerialError::Write);
    const qint64 t1 = rig.clock->nowMs();
    EXPECT_EQ(rig.link->getStatus("001"), "");
    EXPECT_GT(rig.elapsedSince(t1), 1000);
    EXPECT_EQ(line.take(),
              (QStringList{"fault 8 read failed", "recovered", "fault 7 write failed"}));
}

TEST(LinkFaultTest, AVanishedDeviceIsClosedReportedOnceAndReopenedWhenBack) {
    Rig rig;
    LineEvents line(*rig.link);
    rig.port->unplug();
    EXPECT_EQ(rig.link->getStatus("001"), "");
    EXPECT_FALSE(rig.link->isComPortOpen());
    const int opensWhileGone = rig.port->openCalls;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rig.link->getStatus("002"), "");
    EXPECT_EQ(line.take(), QStringList{"fault 9 Input/output error lost"});
    EXPECT_EQ(rig.port->openCalls, opensWhileGone); // no open while the path is gone

    rig.port->plugIn();
    rig.port->queueAnswer(DC4 + ",001,M,SA," + ETX, 10);
    EXPECT_EQ(rig.link->getStatus("001"), "001,M,SA,");
    EXPECT_TRUE(rig.link->isComPortOpen());
    EXPECT_EQ(line.take(), QStringList{"recovered"});

    // Closed on purpose: no reopening behind the user's back.
    rig.link->closeComPort();
    EXPECT_EQ(rig.link->getStatus("001"), "");
    EXPECT_FALSE(rig.link->isComPortOpen());
    EXPECT_EQ(line.take().size(), 1);
}

// A new port chosen while channel 1 waits (its wait lets events run): the
// waiting request ends without an answer, its port lives until it has
// returned, and the same link object goes on with the new port.
TEST(LinkReopenTest, ANewPortDuringAWaitEndsThatRequestAndKeepsTheLink) {
    Rig rig;
    auto next = std::make_unique<FakeSerialPort>(rig.clock);
    FakeSerialPort* nextPort = next.get();
    rig.port->queueAnswer(DC4 + ",001,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1," + ETX,
                          1500);
    bool reopened = false;
    QTimer::singleShot(0, [&] { reopened = rig.link->reopenPort(std::move(next)); });
    EXPECT_EQ(rig.link->getProgram("001", true), "");
    EXPECT_TRUE(reopened);
    EXPECT_EQ(&rig.link->port(), nextPort);
    EXPECT_TRUE(rig.link->isComPortOpen());
    nextPort->queueAnswer(DC4 + ",002,M,SA," + ETX, 10);
    EXPECT_EQ(rig.link->getStatus("002"), "002,M,SA,");
    EXPECT_EQ(nextPort->writes.size(), 1);
}

} // namespace
