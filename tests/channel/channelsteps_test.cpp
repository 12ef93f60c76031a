// The steps of a channel while the charger takes its time: a tick is not
// started twice, the channels take turns, a recording start waits for the
// running tick, and a channel that goes away while it waits is left alone.
// The in-memory port holds each wait until the test lets it go on.
#include "channel_fixture.h"

namespace velmara::test {
namespace {

using F = ChannelField;

class ChannelSteps : public ChannelTest {
protected:
    // An answer that is not there yet when the request has gone out.
    void slowAnswer(const QByteArray& payload) {
        port->queueAnswer(QByteArray("\x14,") + payload + QByteArray(",\x03"), 40);
    }
    // Lets every held wait go on until nothing waits any more.
    void releaseAll() {
        for (int i = 0; i < 50 && port->waitHeld(); ++i)
            port->releaseWait();
    }
};

TEST_F(ChannelSteps, ATickThatStillWaitsIsNotStartedAgain) {
    ChannelController& c = idle();
    port->holdWaits(true);
    slowAnswer("001,M,SL,L01500,V07200,K00350");
    c.tick();
    EXPECT_TRUE(c.isBusy());
    c.tick(); // the poll timer fires again meanwhile
    c.tick();
    EXPECT_EQ(requests(), 4);
    port->releaseWait();
    EXPECT_FALSE(c.isBusy());
    EXPECT_EQ(display[F::Status], text("6012"));
    EXPECT_EQ(values("TempMessWerte"), QStringList{"350;7200;1500;0"});

    slowAnswer("001,M,SL,L01500,V07200,K00400");
    c.tick();
    EXPECT_EQ(requests(), 5);
    releaseAll();
}

// Channel 1 finds no charger at start; channel 2, started meanwhile, waits its
// turn and then asks nothing, as if channel 1 had been read first.
TEST_F(ChannelSteps, ChannelsStartOneAfterTheOtherAndTheOthersHeedChannelOne) {
    host.turn = std::make_shared<TurnQueue>();
    port->holdWaits(true);
    silence();
    ChannelController& c1 = make("001");
    ChannelController& c2 = make("002");
    EXPECT_TRUE(c2.isBusy());
    EXPECT_EQ(bodies(), QList<QByteArray>{"001,W"});
    releaseAll();
    EXPECT_TRUE(host.noQmt);
    EXPECT_FALSE(c1.isBusy() || c2.isBusy());
    EXPECT_EQ(bodies(), QList<QByteArray>{"001,W"});
    EXPECT_EQ(host.panels["002"], text("6000"));
    EXPECT_EQ(c1.pollInterval(), ChannelController::SilentInterval);
}

TEST_F(ChannelSteps, TicksOfTwoChannelsDoNotInterleave) {
    host.turn = std::make_shared<TurnQueue>();
    queueStart("001");
    ChannelController& c1 = make("001");
    queueStart("002");
    ChannelController& c2 = make("002");
    port->writes.clear();
    port->holdWaits(true);
    slowAnswer("001,M,X"); // unreadable: channel 1 asks again before channel 2
    slowAnswer("001,M,SA");
    slowAnswer("002,M,SA");
    c1.tick();
    c2.tick();
    releaseAll();
    EXPECT_EQ(bodies(), (QList<QByteArray>{"001,M", "001,M", "002,M"}));
    EXPECT_FALSE(c1.isBusy() || c2.isBusy());
}

TEST_F(ChannelSteps, ARecordingStartWaitsForTheRunningTick) {
    ChannelController& c = idle();
    const Series s = newSeries();
    port->holdWaits(true);
    slowAnswer("001,M,SL,L01500,V07200,K00350");
    slowAnswer(kProgram1);
    c.tick();
    c.startRecording(s.akku, s.id, false, true);
    EXPECT_FALSE(c.isRecording()); // not before the tick has ended
    releaseAll();
    EXPECT_TRUE(c.isRecording());
    EXPECT_EQ(bodies().mid(3), (QList<QByteArray>{"001,M", "001,W"}));
    // The value the tick took moved into the series with its program.
    EXPECT_EQ(values("MessWerte", s.id), QStringList{"350;7200;1500;0"});
    EXPECT_EQ(seriesText(s.id, "Programm"), QString(kProgram1) + ",");
}

// While the first value's program is asked, the queued recording is already
// the running one: the capture dialog must not offer to drop its series.
TEST_F(ChannelSteps, AQueuedRecordingIsNeverSeenHalfStarted) {
    ChannelController& c = idle();
    const Series s = record(c, Start::Queued);
    port->holdWaits(true);
    slowAnswer("001,M,SL,L01500,V07200,K00010");
    slowAnswer(kProgram1);
    c.tick();
    port->releaseWait(); // the status is in; the series' program is asked
    ASSERT_TRUE(port->waitHeld());
    EXPECT_TRUE(c.isRecording());
    EXPECT_FALSE(c.isRecordingQueued());
    c.dropQueuedRecording();
    EXPECT_EQ(c.seriesId(), s.id);
    releaseAll();
    EXPECT_EQ(values("MessWerte", s.id), QStringList{"10;7200;1500;0"});
}

TEST_F(ChannelSteps, AChannelThatGoesAwayWhileItWaitsIsLeftAlone) {
    host.turn = std::make_shared<TurnQueue>();
    queueStart("001");
    make("001");
    queueStart("002");
    make("002");
    port->holdWaits(true);
    slowAnswer("001,M,SL,L01500,V07200,K00350");
    slowAnswer("002,M,SL,L01500,V07200,K00350");
    channels[0]->tick();
    channels[1]->tick(); // waits for its turn
    const int before = requests();
    channels.clear();
    releaseAll();
    // Neither the one on the line nor the one waiting for its turn went on.
    EXPECT_EQ(requests(), before);
    EXPECT_TRUE(values("TempMessWerte").isEmpty());
    EXPECT_FALSE(host.turn->held());
}

} // namespace
} // namespace velmara::test
