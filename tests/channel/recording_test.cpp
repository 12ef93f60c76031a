// Recording on a channel: temporary series, permanent recording, the series'
// program, and the end of a recording.
#include "channel_fixture.h"

namespace velmara::test {
namespace {

using F = ChannelField;

class Recording : public ChannelTest {
protected:
    ChannelController& idle() {
        answer(kProgram1);
        answer("001,D");
        answer("001,M,SA");
        return make("001");
    }
    void charge(ChannelController& c, int mAh) {
        answer("001,M,SL,L01500,V07200," + QByteArray("K") +
               QByteArray::number(mAh).rightJustified(5, '0'));
        c.tick();
        later(3);
    }
    std::vector<Row> permanent(qint32 series) {
        std::vector<Row> out;
        for (const Row& r : rows("MessWerte"))
            if (r.series == series)
                out.push_back(r);
        return out;
    }
};

TEST_F(Recording, ImmediateStartDuringChargeTakesOverTheValuesSoFar) {
    ChannelController& c = idle();
    charge(c, 100); // 0 s
    charge(c, 200); // 3 s
    qint32 akku = 0;
    const qint32 series = newSeries(&akku);

    answer(kProgram1); // the series' program
    c.startRecording(akku, series, false, true);
    EXPECT_TRUE(c.bRecording);
    EXPECT_FALSE(c.bRecordingInQueue);
    EXPECT_TRUE(c.bCurrentProgramWritten);
    EXPECT_TRUE(c.isAkkuUsed(akku));
    EXPECT_EQ(texts(permanent(series)), QStringList({"100;7200;1500;0", "200;7200;1500;3"}));

    charge(c, 300); // 6 s, on the taken-over time base
    answer("001,D,SL,K00900,T90,V08400");
    c.tick();
    EXPECT_EQ(texts(permanent(series)), QStringList({"100;7200;1500;0", "200;7200;1500;3",
                                                     "300;7200;1500;6", "2;900;8400;9;90"}));
    const auto [program, mode] = seriesProgram(series);
    EXPECT_EQ(program, QString(kProgram1) + ",");
    EXPECT_EQ(mode, ChannelController::modeTextOf(c.program()));
    EXPECT_FALSE(mode.isEmpty());
}

TEST_F(Recording, ImmediateStartAfterFinishedProcessTakesThePreviousSeries) {
    ChannelController& c = idle();
    charge(c, 100);
    charge(c, 200);
    answer("001,D,SL,K00900,T90,V08400");
    c.tick();
    later(3);
    answer("001,M,SF");
    c.tick();
    ASSERT_EQ(c.tempSeriesId(), 2);
    ASSERT_FALSE(c.bMeasurementRunning);
    ASSERT_TRUE(c.bEndwerteAvaiable);

    qint32 akku = 0;
    const qint32 series = newSeries(&akku);
    answer(kProgram1);
    c.startRecording(akku, series, false, true);
    const auto moved = permanent(series);
    ASSERT_EQ(moved.size(), 3u);
    EXPECT_EQ(texts(moved), QStringList({"100;7200;1500;0", "200;7200;1500;3", "2;900;8400;6;90"}));
    EXPECT_TRUE(moved[2].ew);
    // State 5 ends the recording on the next tick.
    answer("001,M,SF");
    c.tick();
    EXPECT_FALSE(c.bRecording);
    EXPECT_EQ(c.lMessReiheId, series) << "the ids stay after the process ended";
}

TEST_F(Recording, QueuedStartBeginsWithTheNextProgram) {
    ChannelController& c = idle();
    qint32 akku = 0;
    const qint32 series = newSeries(&akku);
    answer(kProgram1);
    c.startRecording(akku, series, true, false);
    EXPECT_FALSE(c.bRecording);
    EXPECT_TRUE(c.bRecordingInQueue);
    EXPECT_TRUE(c.isAkkuUsed(akku));
    const QDateTime start = now;

    later(10);
    answer("001,M,SA");
    c.tick();
    EXPECT_TRUE(c.bRecordingInQueue);
    EXPECT_TRUE(permanent(series).empty());

    // The program starts: the queued recording begins with this value; the
    // program is stored again with the first value.
    later(5);
    answer("001,M,SL,L01500,V07200,K00010");
    answer("001,P,A05,M03,Z06,F1,W30,L01000,E00500,V08400,D06000,G1");
    c.tick();
    EXPECT_TRUE(c.bRecording);
    EXPECT_FALSE(c.bRecordingInQueue);
    EXPECT_TRUE(c.bCurrentProgramWritten);
    EXPECT_EQ(texts(permanent(series)), QStringList({"10;7200;1500;15"}));
    EXPECT_EQ(c.recordingStart(), start);
    EXPECT_TRUE(seriesProgram(series).first.contains("M03"));
}

TEST_F(Recording, EndingAndANewProgramStopTheRecording) {
    ChannelController& c = idle();
    qint32 akku = 0;
    const qint32 series = newSeries(&akku);
    answer(kProgram1);
    c.startRecording(akku, series, false, false);
    c.setFrameAkkumesswerteHeading("Pack A", "spring test", "1");
    EXPECT_EQ(display[F::MesswerteHeading], res("0818") + " - Pack A / 1");
    EXPECT_EQ(display[F::Bemerkung], "spring test");
    answer("001,M,SL,L01500,V07200,K00010");
    answer(kProgram1);
    c.tick();
    ASSERT_EQ(permanent(series).size(), 1u);

    c.endRecording();
    EXPECT_FALSE(c.bRecording);
    EXPECT_EQ(c.lMessReiheId, -1);
    EXPECT_EQ(c.lAkkuId, akku);
    EXPECT_FALSE(c.isAkkuUsed(akku));
    charge(c, 20);
    EXPECT_EQ(permanent(series).size(), 1u);

    // A program sent to the channel ends a queued recording too and reads the channel anew.
    answer(kProgram1);
    c.startRecording(akku, series, true, false);
    const qint32 tempBefore = c.tempSeriesId();
    answer(kProgram1);
    answer("001,D");
    answer("001,M,SA");
    c.resetForNewProgram();
    EXPECT_FALSE(c.bRecordingInQueue);
    EXPECT_FALSE(c.bRecording);
    EXPECT_EQ(c.lMessReiheId, -1);
    EXPECT_NE(c.tempSeriesId(), tempBefore);
    EXPECT_EQ(display[F::MesswerteHeading], ChannelController::headingWithoutRecording());

    // The heading goes back on channel 1 with the next idle tick, not at once.
    c.setFrameAkkumesswerteHeading("Pack A", "x", "2");
    c.endRecording();
    EXPECT_EQ(display[F::MesswerteHeading], res("0818") + " - Pack A / 2");
    answer("001,M,SA");
    c.tick();
    EXPECT_EQ(display[F::MesswerteHeading], ChannelController::headingWithoutRecording());
    EXPECT_TRUE(display[F::Bemerkung].isEmpty());
}

TEST_F(Recording, UnreadableEndValueAnswerStoresNothing) {
    ChannelController& c = idle();
    qint32 akku = 0;
    const qint32 series = newSeries(&akku);
    answer(kProgram1);
    c.startRecording(akku, series, false, false);
    const int before = requests();
    answer("001,D,SL,K00900"); // cut short: an empty list arrives
    c.tick();
    EXPECT_EQ(requests(), before + 1) << "no program request for a value not stored";
    EXPECT_TRUE(permanent(series).empty());
    EXPECT_FALSE(c.bCurrentProgramWritten);
    EXPECT_TRUE(display.laden.isEmpty());
}

TEST_F(Recording, TemporarySeriesIdsAreReusedOnlyWhenEmpty) {
    ChannelController& c = idle();
    EXPECT_EQ(c.tempSeriesId(), 1);
    answer("001,M,SA");
    c.tick();
    answer("001,M,SF");
    c.tick();
    EXPECT_EQ(c.tempSeriesId(), 1) << "nothing stored: the id stays";
    answer("001,M,SM,L01000,V07000,K00100");
    c.tick();
    EXPECT_TRUE(rows("TempMessWerte").empty()) << "state 4 is never stored";
    charge(c, 10);
    answer("001,M,SF");
    c.tick();
    EXPECT_EQ(c.tempSeriesId(), 2);
    EXPECT_EQ(c.previousTempSeriesId(), 1);

    // The ids are shared by the channels.
    ChannelController& c2 = make("002", false);
    c2.load(false); // no charger line answer: 6000, id taken
    EXPECT_EQ(c2.tempSeriesId(), 3);
}

TEST_F(Recording, TakeOverWithNothingRecordedYetStartsTheClockNow) {
    ChannelController& c = idle();
    later(600);
    qint32 akku = 0;
    const qint32 series = newSeries(&akku);
    answer(kProgram1);
    c.startRecording(akku, series, false, true);
    EXPECT_TRUE(permanent(series).empty());
    later(5);
    charge(c, 10);
    EXPECT_EQ(texts(permanent(series)), QStringList({"10;7200;1500;5"}));
}

TEST_F(Recording, DischargeEndValueWithVerdictAndSelfDischarge) {
    answer("002,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1");
    answer("002,D,SE,K00950,T75,V06000,Y00012,X1,P095");
    answer("002,M,SA");
    ChannelController& c = make("002");
    ASSERT_EQ(display.laden.size(), 1);
    EXPECT_EQ(display.laden[0], (EndwertLine{"---", 0}));
    ASSERT_EQ(display.entladen.size(), 1);
    EXPECT_EQ(display.entladen[0].text, formatEndwertLine(1, *c.endwerte().Item(1)));
    EXPECT_TRUE(display.isVisible(F::Akkuzustand));
    EXPECT_EQ(display[F::Akkuzustand], res("0847") + " (95%)");
    EXPECT_TRUE(display.isVisible(F::Selbstentladung));
    EXPECT_EQ(display[F::Selbstentladung], "12 mAh");
    const auto temp = rows("TempMessWerte");
    ASSERT_EQ(temp.size(), 1u);
    EXPECT_EQ(temp[0].text, "3;950;6000;0;75;T;95;12");
    EXPECT_EQ(display.entladen[0].tempId, temp[0].id);
}

} // namespace
} // namespace velmara::test
