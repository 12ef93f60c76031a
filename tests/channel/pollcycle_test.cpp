// The poll tick of a channel, answer by answer on the in-memory port.
#include "channel_fixture.h"

#include "support/scripted_messages.h"

#include <QFile>

namespace velmara::test {
namespace {

using F = ChannelField;

class PollCycle : public ChannelTest {
protected:
    QStringList live() const {
        return {display[F::Spannung], display[F::Strom], display[F::Kapazitaet]};
    }
};

// A run of channel 1, answer by answer, in steps.

// The start reads program, end values and state. A channel that is charging
// when it is first read (the program starts while it runs, or a program was
// just sent) shows that value and stores it like every later one.
TEST_F(PollCycle, StartReadsProgramEndValuesAndState) {
    struct Case {
        QByteArray status;
        const char* key;
        QStringList stored;
    };
    const Case cases[] = {{"M,SA", "6010", {}},
                          {"M,SL,L01500,V07200,K00120", "6012", {"120;7200;1500;0"}}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.key);
        channels.clear();
        queueStart("001", "D", k.status);
        ChannelController& c = make("001");
        EXPECT_EQ(bodies().mid(requests() - 3), (QList<QByteArray>{"001,W", "001,D", "001,M"}));
        EXPECT_EQ(display[F::Status], text(k.key));
        EXPECT_EQ(values("TempMessWerte", c.tempSeriesId()), k.stored);
    }
}

TEST_F(PollCycle, ChargingShowsTheLiveValuesAndStoresThem) {
    ChannelController& c = idle();
    poll(c, "001,M,SL,L01500,V07234,K00350");
    EXPECT_EQ(live(), QStringList({"7.234 V", "1.500 A", "0.350 Ah"}));
    EXPECT_TRUE(c.measurementRunning());

    later(3);
    poll(c, "001,M,SE,E00800,V06900,K00100");
    EXPECT_EQ(display[F::Status], text("6014"));
    EXPECT_EQ(display[F::Strom], "0.800 A");
    EXPECT_EQ(values("TempMessWerte", 1), QStringList({"350;7234;1500;0", "100;6900;800;3"}));
    EXPECT_TRUE(values("MessWerte").empty()) << "nothing recorded without a series";
}

TEST_F(PollCycle, EndValuesInPlaceOfAStatusLeaveTheState) {
    ChannelController& c = idle();
    charge(c, 350);
    poll(c, "001,D,SL,K01000,T90,V08400");
    ASSERT_EQ(display.laden.size(), 1);
    EXPECT_EQ(display.laden[0].tempId, endValueId());
    EXPECT_TRUE(display.entladen.isEmpty());
    EXPECT_TRUE(c.endValuesAvailable());
    EXPECT_EQ(display[F::Status], text("6012"));
    EXPECT_EQ(values("TempMessWerte", 1), QStringList({"350;7200;1500;0", "EW 2;1000;8400;3;90"}));

    // The lists stay while the channel rests; only leaving idle begins a new run.
    poll(c, "001,M,SA");
    EXPECT_EQ(c.endValues().size(), 1);
    poll(c, "001,M,SL,L01000,V07000,K00010");
    EXPECT_EQ(c.endValues().size(), 0);
    EXPECT_FALSE(c.endValuesAvailable());
    EXPECT_TRUE(display.laden.isEmpty());
}

TEST_F(PollCycle, ASilentChargerIsProbedAndSilencesTheOtherChannels) {
    ChannelController& c = idle();
    silence();
    c.tick();
    EXPECT_EQ(display[F::Status], text("6000"));
    for (int i = 1; i <= 3; ++i) {
        const int before = requests();
        silence();
        c.tick();
        EXPECT_EQ(requests(), before + 1) << "a silent probe is one program request";
        EXPECT_EQ(c.noAnswerCount(), i);
        EXPECT_EQ(host.noQmt, i >= 3);
        EXPECT_EQ(c.pollInterval(), i >= 3 ? 14000 : 3000);
    }
    const int before = requests();
    ChannelController& c2 = make("002");
    c2.tick();
    EXPECT_EQ(requests(), before);
    EXPECT_EQ(host.panels["002"], text("6000"));

    // The charger is back: program, end values, status, program again.
    queueStart();
    answer(kProgram1);
    c.tick();
    EXPECT_EQ(requests(), before + 4);
    EXPECT_FALSE(host.noQmt);
    EXPECT_EQ(c.pollInterval(), 3000);
    EXPECT_EQ(c.noAnswerCount(), 0);
    EXPECT_EQ(display[F::Status], text("6010"));
}

// (An answer of another channel counts as bad: AnswersOfAnotherChannel...)
TEST_F(PollCycle, ABadStatusIsAskedOnceMore) {
    ChannelController& c = idle();
    port->queueAnswer("garbage");
    poll(c, "001,M,SL,L01000,V07000,K00010");
    EXPECT_EQ(display[F::Status], text("6012")) << "the repeat's answer counts";
    poll(c, "001,M,SL,L01000,V07000,K00020"); // the run's program is read

    // Bad twice: nothing shown, nothing stored.
    const QStringList stored = values("TempMessWerte");
    port->queueAnswer("garbage");
    port->queueAnswer("garbage");
    display.texts.clear();
    c.tick();
    EXPECT_TRUE(display.texts.isEmpty());
    EXPECT_EQ(values("TempMessWerte"), stored);
}

// The states whose flags differ, as showStatus shows them.
TEST_F(PollCycle, StateTable) {
    struct Case {
        const char* answer;
        const char* key;
        bool running, recording; // afterwards (both true before)
        bool newTempSeries;      // the temporary series (with a value) moves on
    };
    const Case cases[] = {
        {"001,M,SM,L01000,V07000,K00010", "6016", false, false, true},
        {"001,M,SW", "6020", false, true, false}, // mode 2: recording goes on
        {"001,M,SP", "6022", false, true, true},
        {"001,M,SQT", "0882", true, true, false},
        {"001,M,SQV", "0874", false, false, false},
        {"001,M,SE", "6014", true, true, false}, // without values: the state only
    };
    ChannelController& c = idle();
    const auto show = [&c](const char* answer) {
        StatusRecord s;
        QString text = QString(answer) + ",";
        s.parse(text);
        c.showStatus(s);
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.answer);
        poll(c, "001,M,SL,L01000,V07000,K00010");
        record(c);
        const qint32 series = c.tempSeriesId();
        display.texts.remove(int(F::Status));
        show(k.answer);
        EXPECT_EQ(display[F::Status], text(k.key));
        EXPECT_EQ(c.measurementRunning(), k.running);
        EXPECT_EQ(c.isRecording(), k.recording);
        EXPECT_EQ(c.tempSeriesId() != series, k.newTempSeries);
    }
    // Mode 6 (the charger waits in a cycle program): SW ends the recording.
    auto prog = std::make_shared<ProgramRecord>();
    QString p = "001,P,A05,M06,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    prog->parse(p, true);
    c.onProgramAnswer(prog);
    record(c);
    show("001,M,SW");
    EXPECT_FALSE(c.isRecording());
}

// A fault is the channel's state: its text in the state box and the status bar
// panel, the last live values kept but stale. Some faults are also reported
// with a box (the window shows it once per episode).
TEST_F(PollCycle, AFaultIsShownAsTheChannelsState) {
    ChannelController& c = idle();
    for (const auto& [letters, boxKey] : {std::pair{"SQV", ""}, std::pair{"SG", "0880"}}) {
        SCOPED_TRACE(letters);
        ScriptedMessages none(session()); // the controller shows no box itself
        poll(c, "001,M,SL,L01500,V07234,K00350");
        ASSERT_FALSE(display.stale);
        poll(c, "001,M," + QByteArray(letters));
        EXPECT_TRUE(display.faultState);
        EXPECT_TRUE(display.stale);
        EXPECT_EQ(live(), QStringList({"7.234 V", "1.500 A", "0.350 Ah"}));
        EXPECT_EQ(display.fault.key, boxKey);
    }
    poll(c, "001,M,SA");
    EXPECT_FALSE(display.stale) << "the fault has ended";
    EXPECT_FALSE(display.faultState);
}

// A program started at the charger's keys may be reported in place of the next
// status answer: the channel shows it without asking for it.
TEST_F(PollCycle, AProgramInPlaceOfAStatusIsShown) {
    ChannelController& c = idle();
    ASSERT_EQ(display[F::Mode], "Entladen");
    const int before = requests();
    answer("001,P,A02,M01,Z06,F1,W30,L01200,E00800,V07200,D06000,G1");
    c.tick();
    EXPECT_EQ(bodies().mid(before), QList<QByteArray>{"001,M"});
    EXPECT_EQ(display[F::Mode], "Laden");
    EXPECT_EQ(c.program().chargeCurrentMa, 1200);
}

// A program set at the charger's keys starts a run without telling the
// computer: the run's first tick is followed by a program request, once per
// run. A program answer the channel could not use leaves its program unknown:
// it is asked again, before the status, until it is known.
TEST_F(PollCycle, ANewRunOrAnUnknownProgramIsReadAgain) {
    const auto framed = [](const QByteArray& p) { return "\x14," + p + ",\x03"; };
    const QByteArray charging = framed("001,M,SL,L01000,V07000,K00010");
    const struct {
        const char* what;
        QList<QByteArrayList> ticks; // the raw answers of each tick before; "": silence
    } cases[] = {
        {"from idle", {{framed("001,M,SA")}, {charging}}},
        {"after finished", {{framed("001,M,SF")}, {charging}}},
        {"after a fault", {{framed("001,M,SQR")}, {charging}}},
        {"unreadable program", {{charging}, {"\x14,001,P,A05,Mxx,\x03", charging}}},
        {"no program answer", {{charging}, {"", charging}}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        channels.clear();
        ChannelController& c = idle();
        ASSERT_EQ(display[F::Mode], "Entladen");
        for (const QByteArrayList& tick : k.ticks) {
            for (const QByteArray& raw : tick) {
                if (raw.isEmpty())
                    silence();
                else
                    port->queueAnswer(raw);
            }
            c.tick();
        }
        const int before = requests();
        answer("001,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000,G1");
        answer("001,M,SL,L01000,V07000,K00020");
        c.tick();
        EXPECT_EQ(bodies().mid(before), (QList<QByteArray>{"001,W", "001,M"}));
        EXPECT_EQ(display[F::Mode], "Laden");
        answer("001,M,SL,L01000,V07000,K00030");
        c.tick();
        EXPECT_EQ(requests(), before + 3) << "once per run";
    }
    // Charging on after a pause or from discharging is the same run.
    ChannelController& c = *channels.back();
    const int before = requests();
    for (const char* state :
         {"001,M,SE,E01000,V07000,K00010", "001,M,SW", "001,M,SL,L01000,V07000,K00010"}) {
        answer(state);
        c.tick();
    }
    EXPECT_EQ(requests(), before + 3);
}

// Late answers (the charger answered after the wait had ended) pass for the
// answer to the next request, of another channel: not shown, not stored. The
// probe asks all three kinds.
TEST_F(PollCycle, AnswersOfAnotherChannelAreNeitherShownNorStored) {
    queueStart("002");
    ChannelController& c = make("002");
    answer("002,M,SL,L01000,V07000,K00010");
    c.tick();
    const QStringList stored = values("TempMessWerte");
    ASSERT_EQ(stored.size(), 1);

    // The charger falls silent: the channel probes with a program request.
    silence();
    c.tick();
    EXPECT_EQ(display[F::Status], text("6000"));
    // The probe is answered by a late program and status of channel 3.
    queueStart("003", "D", "M,SE,E02000,V11900,K00500");
    c.tick();
    EXPECT_EQ(values("TempMessWerte"), stored);
    EXPECT_NE(display[F::Strom], "2.000 A");
    EXPECT_EQ(c.program().batteryType, ProgramRecord::BadAnswer);
}

// A file that does not take values (full disk, write-protected): the values
// wait in memory, the user is told and sees a mark; once the file takes
// writes again they are written in the order they were taken. The log tells
// when the waiting began and when it ended, not every value.
TEST_F(PollCycle, ValuesTheFileRefusesWaitAndAreWrittenInOrderLater) {
    const QString logPath = folder.folder().logPath();
    session().log().open(logPath);
    ChannelController& c = idle();
    ASSERT_TRUE(user().execute("CREATE TRIGGER full BEFORE INSERT ON TempMessWerte "
                               "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END"));
    charge(c, 10);
    charge(c, 20);
    EXPECT_TRUE(values("TempMessWerte").isEmpty());
    EXPECT_EQ(c.valuesWaiting(), 2);
    EXPECT_EQ(host.waiting["001"], 2);
    EXPECT_EQ(display.storageWarning, text("1124").arg(2));
    EXPECT_EQ(display[F::Kapazitaet], "0.020 Ah") << "the poll goes on";

    ASSERT_TRUE(user().execute("DROP TRIGGER full"));
    charge(c, 30);
    const QStringList stored = values("TempMessWerte");
    ASSERT_EQ(stored.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(stored[i].startsWith(QString("%1;").arg(10 * (i + 1))))
            << stored[i].toStdString();
    EXPECT_EQ(c.valuesWaiting(), 0);
    EXPECT_EQ(host.waiting["001"], 0);
    EXPECT_EQ(display.storageWarning, "");
    session().log().release();
    QFile logFile(logPath);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QString log = QString::fromUtf8(logFile.readAll());
    EXPECT_EQ(log.count("LogType: "), 2) << log.toStdString();
}

// After the charger was silent the lists are read anew: an end value the
// channel knew is not stored a second time, a new one is.
TEST_F(PollCycle, EndValuesReadAgainAfterSilenceAreStoredOnce) {
    ChannelController& c = idle();
    answer("001,D,SL,K01000,T90,V08400");
    QCoro::waitFor(c.tick());
    ASSERT_EQ(values("TempMessWerte").size(), 1);
    silence();
    QCoro::waitFor(c.tick());
    // The probe finds the charger again: program, end values (the known one and a new one), status.
    queueStart("001", "D,SL,K01000,T90,V08400,SE,K00950,T75,V06000");
    QCoro::waitFor(c.tick());
    const QStringList stored = values("TempMessWerte");
    EXPECT_EQ(stored.size(), 2) << stored.join(" | ").toStdString();
    EXPECT_EQ(display.laden.size(), 1);
    EXPECT_EQ(display.entladen.size(), 1);
    EXPECT_GT(display.laden.value(0).tempId, 0);
}

} // namespace
} // namespace velmara::test
