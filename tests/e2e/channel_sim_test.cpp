// Four channels against the charger simulator on a pseudo-terminal: programs
// sent, charges run to their end at high speed, and every value a window showed
// is in the database, in order, with seconds that never go back.
#include "sim_channel.h"

namespace velmara::test {
namespace {

class ChannelSim : public SimChannelTest {
protected:
    QStringList simulatorArguments() const override {
        QStringList args{"--channels", "4", "--speed", "600"};
        for (int ch = 1; ch <= 4; ++ch)
            args << "--battery" << QString("%1,NiMH,6,2000,20").arg(ch);
        return args;
    }
    ValueLog displays[4];
};

TEST_F(ChannelSim, FourChargesAreRecordedCompletely) {
    qint32 series[4];
    for (int i = 0; i < 4; ++i) {
        const QString code = QString("00%1").arg(i + 1);
        displays[i].channel = &addChannel(code, displays[i]);
        ASSERT_NE(displays[i][ChannelField::Status], text("6000")) << code.toStdString();
    }
    for (int i = 0; i < 4; ++i) {
        const QString code = QString("00%1").arg(i + 1);
        ASSERT_TRUE(sendProgram(code + ",P,A02,M01,Z06,F1,W30,L02000,E01000,V07200,D06000"))
            << code.toStdString();
        QCoro::waitFor(channels[size_t(i)]->resetForNewProgram());
        const NewSeries created = newSeries(user());
        series[i] = created.id;
        QCoro::waitFor(channels[size_t(i)]->startRecording(created.akku, series[i], false, true));
        ASSERT_TRUE(channels[size_t(i)]->isRecording());
        // The recording takes over what the channel showed of this run so far
        // (the first reading after the program was sent).
        displays[i].shownWhileRecording = displays[i].shown;
    }

    // A charge has ended when the channel left charging after it had charged.
    bool charged[4] = {false, false, false, false};
    auto finished = [&](int i) {
        charged[i] = charged[i] || channels[size_t(i)]->measurementRunning();
        return charged[i] && !channels[size_t(i)]->measurementRunning();
    };
    pollUntil([&] { return finished(0) + finished(1) + finished(2) + finished(3) == 4; }, 120000);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_TRUE(finished(i)) << displays[i][ChannelField::Status].toStdString();
        EXPECT_GE(displays[i].shown.size(), 3);
        QStringList permanent;
        qint64 last = -1;
        for (const StoredValue& v : storedValues(user(), "MessWerte", series[i])) {
            EXPECT_GE(v.seconds(), last) << v.text.toStdString();
            last = v.seconds();
            if (!v.endValue)
                permanent << shownForm(v.text);
        }
        EXPECT_EQ(permanent.join("\n").toStdString(),
                  displays[i].shownWhileRecording.join("\n").toStdString())
            << "every value shown while recording is stored, in order";
    }
}

} // namespace
} // namespace velmara::test
