// Recording on a channel: temporary series, permanent recording, the series'
// program, and the end of a recording.
#include "channel_fixture.h"

#include "channel/core/recordingmark.h"
#include "data/session.h"
#include "support/scripted_messages.h"

namespace velmara::test {
namespace {

using F = ChannelField;

class Recording : public ChannelTest {};

TEST_F(Recording, ImmediateStartDuringChargeTakesOverTheValuesSoFar) {
    ChannelController& c = idle();
    charge(c, 100); // 0 s
    charge(c, 200); // 3 s
    const Series s = record(c, Start::TakingOver);
    EXPECT_TRUE(c.isRecording());
    EXPECT_FALSE(c.isRecordingQueued());
    EXPECT_TRUE(c.isProgramWritten());
    EXPECT_TRUE(c.isBatteryUsed(s.akku));
    EXPECT_EQ(values("MessWerte", s.id), QStringList({"100;7200;1500;0", "200;7200;1500;3"}));

    charge(c, 300); // 6 s, on the taken-over time base
    poll(c, "001,D,SL,K00900,T90,V08400");
    EXPECT_EQ(values("MessWerte", s.id), QStringList({"100;7200;1500;0", "200;7200;1500;3",
                                                      "300;7200;1500;6", "EW 2;900;8400;9;90"}));
    EXPECT_EQ(seriesText(s.id, "Programm"), QString(kProgram1) + ",");
    EXPECT_EQ(seriesText(s.id, "Mode"), "Entladen");
    // Kept on disk for a restart while it runs.
    const auto mark = readRecordingMark(session().settings(), 1);
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->seriesId, s.id);
    EXPECT_EQ(mark->start, c.recordingStart());
}

// The series recorded when the program ended goes on after a restart only
// while the charger runs the same process, and only when the user wants it.
TEST_F(Recording, ARestartOffersToContinueTheSeriesOfTheSameProcess) {
    using S = ChargerState;
    const Series s = newSeries();
    const QDateTime start = now.addSecs(-600);
    const RecordingMark mark{s.akku, s.id, QString(kProgram1) + ",", start};
    const struct {
        const char* what;
        S state;
        QString program;
        bool exists = true;
        QDateTime start;
        bool continues;
    } cases[] = {
        {"charging, same program", S::Charging, kProgram1, true, start, true},
        {"discharging", S::Discharging, QString(kProgram1) + ",", true, start, true},
        {"pausing within its program", S::Waiting, kProgram1, true, start, true},
        {"idle", S::Idle, kProgram1, true, start, false},
        {"finished", S::Finished, kProgram1, true, start, false},
        {"stopped by a fault", S::Fault, kProgram1, true, start, false},
        {"another program", S::Charging, "001,P,A05,M03,Z06,F1,W30,L01000,E00500,V08400,D06000,G1",
         true, start, false},
        {"series deleted", S::Charging, kProgram1, false, start, false},
        {"started later than now", S::Charging, kProgram1, true, now.addSecs(60), false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        RecordingMark m = mark;
        m.start = k.start;
        EXPECT_EQ(continuesRecording(m, k.program, k.state, k.exists, now), k.continues);
        EXPECT_EQ(decodeRecordingMark(encodeRecordingMark(m))->start, m.start);
    }

    for (const MsgAnswer reply : {MsgAnswer::Yes, MsgAnswer::No}) {
        SCOPED_TRACE(reply == MsgAnswer::Yes ? "yes" : "no");
        writeRecordingMark(session().settings(), 1, mark);
        ScriptedMessages boxes(session());
        boxes.expect("4402", reply);
        queueStart("001", "D", "M,SL,L01500,V07200,K00010");
        ChannelController& c = make("001");
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(c.isRecording(), reply == MsgAnswer::Yes);
        if (reply == MsgAnswer::No) {
            EXPECT_FALSE(readRecordingMark(session().settings(), 1)) << "as without a recording";
            continue;
        }
        EXPECT_EQ(c.seriesId(), s.id);
        charge(c, 20); // the seconds go on from the series' start
        EXPECT_EQ(values("MessWerte", s.id), QStringList{"20;7200;1500;600"});
        poll(c, "001,M,SF"); // ended normally: nothing to offer next time
        EXPECT_FALSE(readRecordingMark(session().settings(), 1));
    }
}

TEST_F(Recording, ImmediateStartAfterFinishedProcessTakesThePreviousSeries) {
    ChannelController& c = idle();
    charge(c, 100);
    charge(c, 200);
    poll(c, "001,D,SL,K00900,T90,V08400");
    later(3);
    poll(c, "001,M,SF");
    ASSERT_EQ(c.tempSeriesId(), 2);

    const Series s = record(c, Start::TakingOver);
    EXPECT_EQ(values("MessWerte", s.id),
              QStringList({"100;7200;1500;0", "200;7200;1500;3", "EW 2;900;8400;6;90"}));
    // State 5 ends the recording on the next tick; the ids stay.
    poll(c, "001,M,SF");
    EXPECT_FALSE(c.isRecording());
    EXPECT_EQ(c.seriesId(), s.id);
}

TEST_F(Recording, QueuedStartBeginsWithTheNextProgram) {
    ChannelController& c = idle();
    const Series s = record(c, Start::Queued);
    EXPECT_FALSE(c.isRecording());
    EXPECT_TRUE(c.isRecordingQueued());
    EXPECT_TRUE(c.isBatteryUsed(s.akku));
    const QDateTime start = now;

    later(10);
    poll(c, "001,M,SA");
    EXPECT_TRUE(c.isRecordingQueued());
    EXPECT_TRUE(values("MessWerte").empty());

    // The program starts: the recording begins with this value, and the
    // program is stored again with it.
    later(5);
    answer("001,M,SL,L01500,V07200,K00010");
    poll(c, "001,P,A05,M03,Z06,F1,W30,L01000,E00500,V08400,D06000,G1");
    EXPECT_TRUE(c.isRecording());
    EXPECT_FALSE(c.isRecordingQueued());
    EXPECT_TRUE(c.isProgramWritten());
    EXPECT_EQ(values("MessWerte", s.id), QStringList({"10;7200;1500;15"}));
    EXPECT_EQ(c.recordingStart(), start);
    EXPECT_TRUE(seriesText(s.id, "Programm").contains("M03"));
}

TEST_F(Recording, EndingAndANewProgramStopTheRecording) {
    ChannelController& c = idle();
    const Series s = record(c);

    // An end-value answer cut short stores nothing, so asks for no program.
    const int before = requests();
    poll(c, "001,D,SL,K00900");
    EXPECT_EQ(requests(), before + 1);
    EXPECT_TRUE(values("MessWerte").empty());
    EXPECT_TRUE(values("TempMessWerte").empty());
    EXPECT_FALSE(c.isProgramWritten());

    answer("001,M,SL,L01500,V07200,K00010");
    answer(kProgram1);
    c.tick();
    c.endRecording();
    EXPECT_FALSE(c.isRecording());
    EXPECT_EQ(c.seriesId(), -1);
    EXPECT_EQ(c.batteryId(), s.akku);
    EXPECT_FALSE(c.isBatteryUsed(s.akku));
    charge(c, 20);
    EXPECT_EQ(values("MessWerte", s.id), QStringList({"10;7200;1500;0"}));

    // A program sent to the channel ends a queued recording and reads the channel anew.
    answer(kProgram1);
    c.startRecording(s.akku, s.id, true, false);
    const qint32 tempBefore = c.tempSeriesId();
    queueStart();
    c.resetForNewProgram();
    EXPECT_FALSE(c.isRecordingQueued());
    EXPECT_FALSE(c.isRecording());
    EXPECT_EQ(c.seriesId(), -1);
    EXPECT_NE(c.tempSeriesId(), tempBefore);
}

// Only readings of a charging or discharging channel that carry their values
// become rows of the temporary series.
TEST_F(Recording, TheRecorderStoresOnlyLiveValuesOfChargingAndDischarging) {
    struct Case {
        const char* answer;
        bool stored;
    };
    const Case cases[] = {
        {"001,M,SL,L01500,V07200,K00010,", true},
        {"001,M,SE,E00800,V06900,K00020,", true},
        {"001,M,SM,L00100,V07300,K00030,", false},
        {"001,M,SL,", false},
        {"001,M,SA,", false},
        {"001,M,SF,X3,", false},
        {"001,M,SQV,", false},
        {"", false},
    };
    ChannelRecorder recorder(session(), "001", host, display, [this] { return now; }, {});
    recorder.startNewTempSeries(true);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.answer);
        const int before = int(values("TempMessWerte").size());
        StatusRecord status;
        QString text = k.answer;
        status.parse(text);
        recorder.writeTempValue(status);
        EXPECT_EQ(int(values("TempMessWerte").size()), before + (k.stored ? 1 : 0));
    }
    EXPECT_EQ(values("TempMessWerte", recorder.tempSeriesId()),
              QStringList({"10;7200;1500;0", "20;6900;800;0"}));
}

TEST_F(Recording, TemporarySeriesIdsAreReusedOnlyWhenEmpty) {
    ChannelController& c = idle();
    poll(c, "001,M,SF");
    EXPECT_EQ(c.tempSeriesId(), 1) << "nothing stored: the id stays";
    poll(c, "001,M,SM,L01000,V07000,K00100");
    EXPECT_TRUE(values("TempMessWerte").empty()) << "state 4 is never stored";
    charge(c, 10);
    poll(c, "001,M,SF");
    EXPECT_EQ(c.tempSeriesId(), 2);
    EXPECT_EQ(c.previousTempSeriesId(), 1);

    // Taking over the new, still empty series starts the recording clock now.
    later(600);
    const Series s = record(c, Start::TakingOver);
    EXPECT_TRUE(values("MessWerte", s.id).empty());
    later(5);
    charge(c, 10);
    EXPECT_EQ(values("MessWerte", s.id), QStringList({"10;7200;1500;5"}));
}

TEST_F(Recording, DischargeEndValueWithVerdictAndSelfDischarge) {
    queueStart("002", "D,SE,K00950,T75,V06000,Y00012,X1,P095");
    make("002");
    ASSERT_EQ(display.laden.size(), 1);
    EXPECT_EQ(display.laden[0], (EndValueDisplayLine{"---", 0}));
    ASSERT_EQ(display.entladen.size(), 1);
    EXPECT_EQ(display[F::Akkuzustand], text("0847") + " (95%)");
    EXPECT_EQ(display[F::Selbstentladung], "12 mAh");
    EXPECT_EQ(values("TempMessWerte"), QStringList({"EW 3;950;6000;0;75;T;95;12"}));
    EXPECT_EQ(display.entladen[0].tempId, endValueId());
}

} // namespace
} // namespace velmara::test
