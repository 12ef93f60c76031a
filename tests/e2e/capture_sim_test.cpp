// A battery is created in the middle of a running charge-discharge-charge on the
// simulated charger, taking over the values measured so far: the series holds
// every value of the run in order with one time base, the program that ran,
// and reads back with the end values the channel window listed.
#include "../channel/channel_fixture.h"
#include "sim_process.h"

#include "batteries/core/batterystore.h"
#include "batteries/core/capturechannel.h"
#include "batteries/core/capturemodel.h"
#include "batteries/core/referencetexts.h"
#include "batteries/core/storedseries.h"
#include "channel/ui/channelcapture.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QThread>

namespace velmara::test {
namespace {

void settle(const ChannelController& c) {
    QElapsedTimer t;
    t.start();
    while (c.isBusy() && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Remembers every set of live values shown (voltage, current, capacity).
class ValueLog : public FakeDisplay {
public:
    void setText(ChannelField f, const QString& t) override {
        FakeDisplay::setText(f, t);
        if (f == ChannelField::Kapazitaet && !t.isEmpty())
            shown << text(ChannelField::Spannung) + "|" + text(ChannelField::Strom) + "|" + t;
    }
    QStringList shown;
};

struct StoredValue {
    bool endValue;
    QString text;
};

std::vector<StoredValue> valuesOfSeries(qint32 series) {
    std::vector<StoredValue> out;
    auto rs = userDatabase()->openRecordset(
        "SELECT EW, MessWertString FROM MessWerte WHERE MessReiheID=" + QString::number(series) +
        " ORDER BY MessWertId");
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        out.push_back({rs->value("EW").toInt() != 0, rs->text("MessWertString")});
    return out;
}

// An ordinary value as the channel window shows it.
QString shownForm(const QString& valueString) {
    const QStringList f = valueString.split(';');
    return formatVoltString(f.value(1).toInt()) + "|" + formatAmpereString(f.value(2).toInt()) +
           "|" + formatAmpereHourString(f.value(0).toInt());
}

// Seconds since the start of the recording: the fourth field of both kinds.
qint64 secondsOf(const StoredValue& v) {
    return v.text.section(';', 3, 3).toLongLong();
}

QStringList textsOf(const QList<EndValueDisplayLine>& lines) {
    QStringList out;
    for (const auto& l : lines)
        out << l.text;
    return out;
}
QStringList textsOf(const QList<EndValueLine>& lines) {
    QStringList out;
    for (const auto& l : lines)
        out << l.text;
    return out;
}

class CaptureDuringCharge : public ::testing::Test {
protected:
    void SetUp() override {
        if (!charger.available())
            GTEST_SKIP() << charger.error().toStdString();
        ASSERT_TRUE(openProgramFiles("de"));
        ASSERT_TRUE(openSharedRecordsets());
        // A small, mostly empty pack: the three phases take a few seconds each.
        ASSERT_TRUE(charger.start(
            folder.path(), {"--channels", "4", "--speed", "600", "--battery", "1,NiMH,6,600,20"}))
            << charger.error().toStdString();
    }
    void TearDown() override {
        channel.reset();
        charger.stop();
        closeDatabases();
    }

    // Polls as the window's timer would, a lot faster, until done() or the time is up.
    bool pollUntil(const std::function<bool()>& done, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QCoro::waitFor(channel->tick());
            if (done())
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    TempProgramFolder folder;
    SimulatedCharger charger;
    FakeHost host;
    ValueLog display;
    std::unique_ptr<ChannelController> channel;
};

TEST_F(CaptureDuringCharge, NewBatteryTakesOverTheRunSoFar) {
    channel = std::make_unique<ChannelController>("001", charger.link(), host, display);
    channel->load(false);
    settle(*channel);
    // Charge-discharge-charge at 1 A, NiMH, 6 cells.
    ASSERT_FALSE(QCoro::waitFor(charger.link()->sendProgram(
                                    "001,P,A02,M04,Z06,F1,W30,L01000,E01000,V07200,D06000"))
                     .isEmpty());
    // From here on every value the channel shows belongs to this run (the
    // first reading after the program was sent included).
    display.shown.clear();
    QCoro::waitFor(channel->resetForNewProgram());

    // Wait for the end of the first charge: its end value is listed, the discharge runs.
    ASSERT_TRUE(pollUntil(
        [&] { return channel->measurementRunning() && display.laden.size() == 1; }, 20000))
        << display[ChannelField::Status].toStdString();
    const QStringList shownBefore = display.shown;
    ASSERT_GE(shownBefore.size(), 3);

    // "Neuer Akku" in the capture dialog, recording at once with the values so far.
    BatteryStore store(*userDatabase());
    CallbackBatteryUsage usage([](qint32) { return QString("notUsed"); }, {});
    ControllerCaptureChannel captured(*channel);
    QStringList asked;
    CaptureModel model(
        store, usage, &captured, [](const QString& k) { return res(k); },
        [&](const Message& m) {
            asked << m.key;
            return m.key == "0750" ? MsgAnswer::Yes : MsgAnswer::No;
        });
    ASSERT_TRUE(model.initialize());
    EXPECT_TRUE(model.controls().immediate);
    ASSERT_TRUE(model.acceptNewBatteryName("Pack 'A'"));
    ASSERT_TRUE(model.addNewBattery("Pack 'A'", "", "first test"));
    settle(*channel); // the recording starts once the channel's step is through
    EXPECT_EQ(asked, QStringList{"0750"});
    ASSERT_TRUE(channel->isRecording());
    const qint32 series = channel->seriesId();
    display.shown.clear();

    // Discharge and second charge to their end.
    ASSERT_TRUE(pollUntil([&] { return !channel->isRecording(); }, 25000))
        << display[ChannelField::Status].toStdString();
    const QStringList shownAfter = display.shown;
    EXPECT_GE(shownAfter.size(), 3);

    // Every value shown, before and after, is in the series in order; the seconds
    // never go back and go on from the values taken over.
    const auto stored = valuesOfSeries(series);
    QStringList ordinary;
    std::vector<qint64> seconds;
    qint64 last = -1;
    for (const StoredValue& v : stored) {
        EXPECT_GE(secondsOf(v), last) << v.text.toStdString();
        last = secondsOf(v);
        if (!v.endValue)
            ordinary << shownForm(v.text), seconds.push_back(last);
    }
    EXPECT_EQ(ordinary.join("\n").toStdString(),
              (shownBefore + shownAfter).join("\n").toStdString());
    ASSERT_GT(seconds.size(), size_t(shownBefore.size()));
    EXPECT_GE(seconds[size_t(shownBefore.size()) - 1], 1) << "taken-over values keep their time";

    // The program that ran, and its device mode, are the series'.
    const QString program = ChannelTest::seriesText(series, "Programm");
    EXPECT_TRUE(program.startsWith("001,P,A02,M04,Z06")) << program.toStdString();
    EXPECT_EQ(ChannelTest::seriesText(series, "Mode"), "Laden-Entladen-Laden");

    // The stored-series window lists the end values the channel window listed.
    ASSERT_EQ(display.laden.size(), 2);
    ASSERT_EQ(display.entladen.size(), 1);
    const ReferenceTexts references = loadReferenceTexts(*masterDatabase(), "QMT4", "de");
    StoredSeriesReader reader(*userDatabase(), references, [](const QString& k) { return res(k); },
                              {});
    const StoredSeriesView view = reader.read({series, "Pack 'A'", "1", "first test"});
    ASSERT_TRUE(view.found);
    EXPECT_EQ(textsOf(view.chargeLines), textsOf(display.laden));
    EXPECT_EQ(textsOf(view.dischargeLines), textsOf(display.entladen));
    EXPECT_EQ(view.batteryType, "NiMH");
    EXPECT_EQ(view.mode, "Laden-Entladen-Laden");
    EXPECT_EQ(view.program->deviceMode, 4);
}

} // namespace
} // namespace velmara::test
