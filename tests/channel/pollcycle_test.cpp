// The poll tick of a channel, answer by answer on the in-memory port.
#include "channel_fixture.h"

#include "support/scripted_messages.h"

#include <QCoreApplication>

namespace velmara::test {
namespace {

using F = ChannelField;

class PollCycle : public ChannelTest {
protected:
    ChannelController& idleChannel1() {
        answer(kProgram1);
        answer("001,D");
        answer("001,M,SA");
        return make("001");
    }
};

TEST_F(PollCycle, WholeRunFromIdleToFaultSilenceAndRecovery) {
    ChannelController& c = idleChannel1();
    EXPECT_EQ(requests(), 3);
    EXPECT_EQ(display[F::Status], res("6010"));
    EXPECT_EQ(host.panels["001"], res("6010"));
    EXPECT_EQ(display[F::AkkuTyp], res("0912"));
    EXPECT_FALSE(display.isVisible(F::Akkuzustand));
    EXPECT_FALSE(host.noQmt);
    EXPECT_EQ(c.tempSeriesId(), 1);
    EXPECT_EQ(c.pollInterval(), 3000);

    // A program starts: new run, live values, first temporary value at 0 s.
    answer("001,M,SL,L01500,V07234,K00350");
    c.tick();
    EXPECT_EQ(display[F::Status], res("6012"));
    EXPECT_EQ(display[F::Spannung], "7.234 V");
    EXPECT_EQ(display[F::Strom], "1.500 A");
    EXPECT_EQ(display[F::Kapazitaet], "0.350 Ah");
    EXPECT_TRUE(c.bMeasurementRunning);
    EXPECT_TRUE(c.isFlashing());
    c.flashingTick();
    EXPECT_TRUE(display.red);

    later(3);
    answer("001,M,SL,L01500,V07300,K00400");
    c.tick();

    // End values in place of a status answer.
    later(3);
    answer("001,D,SL,K01000,T90,V08400");
    c.tick();
    ASSERT_EQ(display.laden.size(), 1);
    EXPECT_EQ(display.laden[0].text, formatEndwertLine(1, *c.endwerte().Item(1)));
    EXPECT_TRUE(display.entladen.isEmpty());
    EXPECT_TRUE(c.bEndwerteAvaiable);
    EXPECT_EQ(display[F::Status], res("6012")); // kind 3 leaves the state as it was

    later(3);
    answer("001,M,SE,E00800,V06900,K00100");
    c.tick();
    EXPECT_EQ(display[F::Status], res("6014"));
    EXPECT_EQ(display[F::Strom], "0.800 A");

    // Finished with battery flag X3: values cleared, steady frame, next series.
    later(3);
    answer("001,M,SF,X3");
    c.tick();
    EXPECT_EQ(display[F::Status], res("6018"));
    EXPECT_EQ(display[F::Akkuzustand], res("0870"));
    EXPECT_TRUE(display[F::Spannung].isEmpty());
    EXPECT_FALSE(c.isFlashing());
    EXPECT_FALSE(display.red);
    EXPECT_FALSE(c.bMeasurementRunning);
    EXPECT_EQ(c.tempSeriesId(), 2);
    EXPECT_EQ(c.previousTempSeriesId(), 1);

    const auto temp = rows("TempMessWerte");
    ASSERT_EQ(temp.size(), 4u);
    EXPECT_EQ(texts(temp), QStringList({"350;7234;1500;0", "400;7300;1500;3", "2;1000;8400;6;90",
                                        "100;6900;800;9"}));
    for (const Row& r : temp)
        EXPECT_EQ(r.series, 1);
    EXPECT_TRUE(temp[2].ew);
    EXPECT_EQ(display.laden[0].tempId, temp[2].id);
    EXPECT_TRUE(rows("MessWerte").empty());

    // A channel fault.
    answer("001,M,SP");
    c.tick();
    EXPECT_EQ(display[F::Status], res("6022"));

    // The charger falls silent: 6000, probing, after three silent probes 14 s.
    silence();
    c.tick();
    EXPECT_EQ(display[F::Status], res("6000"));
    EXPECT_EQ(host.panels["001"], res("6000"));
    EXPECT_FALSE(c.isFlashing());
    for (int i = 1; i <= 3; ++i) {
        const int before = requests();
        silence();
        c.tick();
        EXPECT_EQ(requests(), before + 1) << "a silent probe is one program request";
        EXPECT_EQ(c.noAnswerCount(), i);
        EXPECT_EQ(host.noQmt, i >= 3);
        EXPECT_EQ(c.pollInterval(), i >= 3 ? 14000 : 3000);
    }

    // The charger is back: program, end values, status, program again.
    const int before = requests();
    answer(kProgram1);
    answer("001,D");
    answer("001,M,SA");
    answer(kProgram1);
    c.tick();
    EXPECT_EQ(requests(), before + 4);
    EXPECT_FALSE(host.noQmt);
    EXPECT_EQ(c.pollInterval(), 3000);
    EXPECT_EQ(c.noAnswerCount(), 0);
    EXPECT_EQ(display[F::Status], res("6010"));
    EXPECT_EQ(display[F::AkkuTyp], res("0912"));
    EXPECT_EQ(rows("TempMessWerte").size(), 4u) << "no value without live values";
}

TEST_F(PollCycle, OtherChannelsStaySilentWhileChannel1FindsNoCharger) {
    silence();
    ChannelController& c1 = make("001");
    EXPECT_TRUE(host.noQmt);
    EXPECT_EQ(c1.pollInterval(), 14000);
    EXPECT_EQ(display[F::Status], res("6000"));

    const int before = requests();
    ChannelController& c2 = make("002");
    c2.tick();
    c2.tick();
    EXPECT_EQ(requests(), before) << "channel 2 sends nothing while no charger is found";
    EXPECT_EQ(display[F::Status], res("6000"));
    EXPECT_EQ(host.panels["002"], res("6000"));

    // Charger found by channel 1: channel 2 probes; silence there gives 6 s.
    host.noQmt = false;
    silence();
    c2.tick();
    EXPECT_EQ(c2.pollInterval(), 6000);
    EXPECT_FALSE(host.noQmt) << "only channel 1 touches the flag";
    answer("002,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1");
    answer("002,D");
    answer("002,M,SA");
    c2.tick();
    EXPECT_EQ(c2.pollInterval(), 3000);
    EXPECT_EQ(host.panels["002"], res("6010"));
}

TEST_F(PollCycle, BadStatusIsAskedOnceMoreAndAnotherChannelsAnswerEndsTheTick) {
    ChannelController& c = idleChannel1();

    // Bad, then good: the repeat's answer counts.
    port->queueAnswer(QByteArray("garbage"));
    answer("001,M,SL,L01000,V07000,K00010");
    c.tick();
    EXPECT_EQ(display[F::Status], res("6012"));

    // Bad twice: nothing changes, nothing stored.
    const auto stored = rows("TempMessWerte").size();
    port->queueAnswer(QByteArray("garbage"));
    port->queueAnswer(QByteArray("garbage"));
    display.texts.clear();
    c.tick();
    EXPECT_TRUE(display.texts.isEmpty());
    EXPECT_EQ(rows("TempMessWerte").size(), stored);

    // An answer for channel 3: the tick ends without display or recording.
    answer("003,M,SL,L01000,V07000,K00010");
    c.tick();
    EXPECT_TRUE(display.texts.isEmpty());
    EXPECT_EQ(rows("TempMessWerte").size(), stored);
}

TEST_F(PollCycle, NewRunOnlyWhenLeavingIdle) {
    ChannelController& c = idleChannel1();
    answer("001,M,SL,L01000,V07000,K00010");
    c.tick();
    answer("001,D,SL,K01000,T90,V08400");
    c.tick();
    ASSERT_EQ(c.endwerte().Count(), 1);
    // SA after SL does not reset; SL after SA does.
    answer("001,M,SA");
    c.tick();
    EXPECT_EQ(c.endwerte().Count(), 1);
    EXPECT_TRUE(c.bEndwerteAvaiable);
    answer("001,M,SL,L01000,V07000,K00010");
    c.tick();
    EXPECT_EQ(c.endwerte().Count(), 0);
    EXPECT_FALSE(c.bEndwerteAvaiable);
    EXPECT_TRUE(display.laden.isEmpty());
}

TEST_F(PollCycle, ChannelFaultInPlaceOfProgramKeepsProbing) {
    answer("001,M,SK");
    answer("001,D");
    answer("001,M,SA");
    ChannelController& c = make("001");
    EXPECT_EQ(c.program().iAkkuTyp, CommunicationProgram::ChannelFault);
    EXPECT_EQ(display[F::Status], res("0878"));
    const int before = requests();
    answer("001,M,SK");
    answer("001,D");
    answer("001,M,SA");
    answer("001,M,SK");
    c.tick();
    EXPECT_EQ(requests(), before + 4) << "still the probe branch";
    EXPECT_EQ(display[F::Status], res("0878"));
}

// Every state and fault of a status answer, as showStatus shows it.
TEST_F(PollCycle, StateTable) {
    struct Case {
        const char* answer;
        const char* key;    // state text, "" when the state text stays
        bool running;       // bMeasurementRunning afterwards
        bool recording;     // bRecording afterwards (true before)
        bool newTempSeries; // the temporary series moves on (it has a value)
    };
    const Case cases[] = {
        {"001,M,SA", "6010", false, false, true},
        {"001,M,SA,X2", "6010", false, false, true},
        {"001,M,SL,L01000,V07000,K00010", "6012", true, true, false},
        {"001,M,SE,E01000,V07000,K00010", "6014", true, true, false},
        {"001,M,SM,L01000,V07000,K00010", "6016", false, false, true},
        {"001,M,SF", "6018", false, false, true},
        {"001,M,SW", "6020", false, true, false}, // mode 2: recording goes on
        {"001,M,SP", "6022", false, true, true},
        {"001,M,SK", "0878", false, true, false},
        {"001,M,SQT", "0882", true, true, false},
        {"001,M,SQV", "0874", false, false, false},
        {"001,M,SQU", "0884", true, true, false},
        {"001,M,SQP", "0886", false, true, false},
        {"001,M,SQS", "0888", false, true, false},
        // without values (kind 11): the state only
        {"001,M,SL", "6012", true, true, false},
        {"001,M,SE", "6014", true, true, false},
    };
    ChannelController& c = idleChannel1();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.answer);
        c.bRecording = true;
        c.bMeasurementRunning = true;
        CommunicationResults s;
        QString text = QString(k.answer) + ",";
        s.splitRecievedString(text);
        // Give the temporary series a value so that a move shows.
        CommunicationResults value;
        QString v = "001,M,SL,L01000,V07000,K00010,";
        value.splitRecievedString(v);
        c.writeNewTempValueToDB(value);
        const qint32 series = c.tempSeriesId();
        display.texts.remove(int(F::Status));
        c.showStatus(s);
        EXPECT_EQ(display[F::Status], res(k.key));
        EXPECT_EQ(host.panels["001"], res(k.key));
        EXPECT_EQ(c.bMeasurementRunning, k.running);
        EXPECT_EQ(c.bRecording, k.recording);
        EXPECT_EQ(c.tempSeriesId() != series, k.newTempSeries);
    }
    // Mode 6 (the charger waits in a cycle program): SW ends the recording.
    answer("001,M,SL,L01000,V07000,K00010");
    c.tick();
    auto prog = std::make_shared<CommunicationProgram>();
    QString p = "001,P,A05,M06,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    prog->splitRecievedString(p, true);
    c.comResults_ProgramChanged(prog);
    c.bRecording = true;
    CommunicationResults sw;
    QString t = "001,M,SW,";
    sw.splitRecievedString(t);
    c.showStatus(sw);
    EXPECT_FALSE(c.bRecording);
}

TEST_F(PollCycle, FaultBoxOncePerFaultEpisode) {
    ChannelController& c = idleChannel1();
    ScriptedMessages boxes;
    boxes.expect("0880");
    for (int i = 0; i < 3; ++i) {
        answer("001,M,SG");
        c.tick();
    }
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].text, res("0880") + "\n\n" + res("0881"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(display[F::Status], res("6010")) << "the box leaves the state text";

    // Another fault is a new episode; so is the same fault after leaving it.
    boxes.expect("0876");
    answer("001,M,SQR");
    c.tick();
    answer("001,M,SQR");
    c.tick();
    answer("001,M,SL,L01000,V07000,K00010");
    c.tick();
    boxes.expect("0876");
    answer("001,M,SQR");
    c.tick();
    EXPECT_EQ(boxes.shown.size(), 3);
}

// While the box is open the window keeps polling (the box runs its own event
// loop); those ticks neither open a second box nor make the first tick store twice.
class TickingBox : public MessageService {
public:
    MsgAnswer show(const Message& m) override {
        shown.append(m);
        if (inner)
            inner();
        return MsgAnswer::Ok;
    }
    QList<Message> shown;
    std::function<void()> inner;
};

TEST_F(PollCycle, TicksDuringAnOpenFaultBoxDoNotStackBoxes) {
    ChannelController& c = idleChannel1();
    TickingBox box;
    MessageService* previous = setMessageService(&box);
    int inner = 0;
    box.inner = [&] {
        for (; inner < 3; ++inner) {
            answer("001,M,SQR");
            c.tick();
        }
        answer("001,M,SL,L01000,V07000,K00010");
        c.tick();
    };
    answer("001,M,SQR");
    c.tick();
    setMessageService(previous);
    EXPECT_EQ(box.shown.size(), 1);
    EXPECT_EQ(display[F::Status], res("6012"));
    EXPECT_EQ(rows("TempMessWerte").size(), 1u) << "the charging value once";
}

} // namespace
} // namespace velmara::test
