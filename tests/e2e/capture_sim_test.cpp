// A battery is created in the middle of a running charge-discharge-charge on the
// simulated charger, taking over the values measured so far: the series holds
// every value of the run in order with one time base, the program that ran,
// and the end values of all three phases.
#include "sim_channel.h"

#include "batteries/core/batterystore.h"
#include "batteries/core/capturechannel.h"
#include "batteries/core/capturemodel.h"
#include "channel/ui/channelcapture.h"

namespace velmara::test {
namespace {

class CaptureDuringCharge : public SimChannelTest {
protected:
    // A small, mostly empty pack: the three phases take a few seconds each.
    QStringList simulatorArguments() const override {
        return {"--channels", "4", "--speed", "600", "--battery", "1,NiMH,6,600,20"};
    }
    ValueLog display;
};

TEST_F(CaptureDuringCharge, NewBatteryTakesOverTheRunSoFar) {
    ChannelController* channel = &addChannel("001", display);
    // Charge-discharge-charge at 1 A, NiMH, 6 cells.
    ASSERT_TRUE(sendProgram("001,P,A02,M04,Z06,F1,W30,L01000,E01000,V07200,D06000"));
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
    BatteryStore store(user());
    CallbackBatteryUsage usage([](qint32) { return QString("notUsed"); }, {});
    ControllerCaptureChannel captured(*channel);
    QStringList asked;
    CaptureModel model(
        store, usage, &captured, [this](const QString& k) { return text(k); },
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
    QStringList ordinary;
    std::vector<qint64> seconds;
    qint64 last = -1;
    int endValues = 0; // both charges' and the discharge's
    for (const StoredValue& v : storedValues(user(), "MessWerte", series)) {
        EXPECT_GE(v.seconds(), last) << v.text.toStdString();
        last = v.seconds();
        if (!v.endValue)
            ordinary << shownForm(v.text), seconds.push_back(last);
        else
            ++endValues;
    }
    EXPECT_EQ(endValues, 3);
    EXPECT_EQ(ordinary.join("\n").toStdString(),
              (shownBefore + shownAfter).join("\n").toStdString());
    ASSERT_GT(seconds.size(), size_t(shownBefore.size()));
    EXPECT_GE(seconds[size_t(shownBefore.size()) - 1], 1) << "taken-over values keep their time";

    // The program that ran, and its device mode, are the series'.
    const QString program = seriesText(user(), series, "Programm");
    EXPECT_TRUE(program.startsWith("001,P,A02,M04,Z06")) << program.toStdString();
    EXPECT_EQ(seriesText(user(), series, "Mode"), "Laden-Entladen-Laden");
}

} // namespace
} // namespace velmara::test
