// The board: what it tells of a channel on the in-memory port, without a window.
#include "channel_fixture.h"

#include "channel/core/channelboard.h"

namespace velmara::test {
namespace {

class Board : public ChannelTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ChannelTest::SetUp());
        board = std::make_unique<ChannelBoard>(session());
        QObject::connect(board.get(), &ChannelBoard::snapshotChanged,
                         [this](const ChannelSnapshot& s) { snapshots.push_back(s); });
        QObject::connect(board.get(), &ChannelBoard::channelEvent, [this](const ChannelEvent& e) {
            events << QString("%1 %2").arg(e.kind == ChannelEvent::Kind::Fault ? "fault" : "ended",
                                           e.channelCode);
        });
        QObject::connect(board.get(), &ChannelBoard::recordingStarted,
                         [this](const QString& code, qint32 battery, qint32 series) {
                             events
                                 << QString("started %1 %2 %3").arg(code).arg(battery).arg(series);
                         });
        QObject::connect(board.get(), &ChannelBoard::recordingStopped,
                         [this](const QString& code, qint32 battery, qint32 series) {
                             events
                                 << QString("stopped %1 %2 %3").arg(code).arg(battery).arg(series);
                         });
    }
    void TearDown() override {
        board.reset();
        ChannelTest::TearDown();
    }
    ChannelController& start() {
        queueStart();
        return board->start(ChannelCode(1), link.get(), false, [this] { return now; });
    }

    std::unique_ptr<ChannelBoard> board;
    std::vector<ChannelSnapshot> snapshots;
    QStringList events;
};

TEST_F(Board, AReadingIsPublishedWithItsNumbersStateAndEndValues) {
    ChannelController& c = start();
    later(3);
    const size_t before = snapshots.size();
    poll(c, "001,M,SL,L01500,V07234,K00350");
    EXPECT_EQ(snapshots.size(), before + 1) << "one snapshot per reading, once it is whole";
    const ChannelSnapshot s = snapshots.back();
    EXPECT_EQ(s.channelCode, "001");
    EXPECT_EQ((std::array{s.currentMa, s.voltageMv, s.capacityMah}), (std::array{1500, 7234, 350}));
    EXPECT_EQ(s.stateCode, qint16(ChargerState::Charging));
    EXPECT_EQ(s.stateText, text("6012"));
    EXPECT_FALSE(s.fault);
    EXPECT_TRUE(s.valuesShown);
    EXPECT_EQ(s.readAt, now);
    EXPECT_EQ(s.tempSeriesId, 1);
    EXPECT_TRUE(s.tempSeriesUsed);
    EXPECT_EQ(board->snapshot(ChannelCode(1)), s) << "a late listener asks for the same";

    poll(c, "001,D,SL,K01000,T90,V08400");
    ASSERT_EQ(snapshots.back().afterCharge.size(), 1);
    EXPECT_EQ(snapshots.back().afterCharge[0].capacityMah, 1000);
    EXPECT_EQ(snapshots.back().afterCharge[0].storedId, endValueId());
    EXPECT_TRUE(snapshots.back().afterDischarge.isEmpty());
    EXPECT_TRUE(events.isEmpty());
}

// A fault and an end of the process are told once each, however often the
// charger repeats them.
TEST_F(Board, AFaultAndAnEndAreToldOnce) {
    ChannelController& c = start();
    poll(c, "001,M,SA"); // where the watch starts
    for (int i = 0; i < 3; ++i)
        poll(c, "001,M,SG");
    EXPECT_TRUE(snapshots.back().fault);
    EXPECT_EQ(snapshots.back().stateText, board->snapshot(ChannelCode(1)).stateText);
    poll(c, "001,M,SL,L01000,V07000,K00010");
    EXPECT_FALSE(snapshots.back().fault);
    for (int i = 0; i < 2; ++i)
        poll(c, "001,M,SF");
    EXPECT_EQ(events, (QStringList{"fault 001", "ended 001"}));
}

TEST_F(Board, StartingAndStoppingARecordingAreEvents) {
    ChannelController& c = start();
    const Series s = record(c);
    EXPECT_TRUE(snapshots.back().recording);
    c.stopRecording();
    EXPECT_FALSE(snapshots.back().recording);
    EXPECT_EQ(events, (QStringList{QString("started 001 %1 %2").arg(s.akku).arg(s.id),
                                   QString("stopped 001 %1 %2").arg(s.akku).arg(s.id)}));
}

} // namespace
} // namespace velmara::test
