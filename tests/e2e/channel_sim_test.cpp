// Four channels against the charger simulator on a pseudo-terminal: programs
// sent, charges run to their end at high speed, and every value a window showed
// while recording is in the database, in order, with seconds that never go back.
#include "../channel/channel_fixture.h"
#include "sim_process.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QThread>

namespace velmara::test {
namespace {

// Remembers every set of live values shown, as "voltage|current|capacity".
class ValueLog : public FakeDisplay {
public:
    void setText(ChannelField f, const QString& t) override {
        FakeDisplay::setText(f, t);
        if (f != ChannelField::Kapazitaet || t.isEmpty())
            return;
        shown << text(ChannelField::Spannung) + "|" + text(ChannelField::Strom) + "|" + t;
        if (channel && channel->isRecording())
            shownWhileRecording << shown.last();
    }
    QStringList shown, shownWhileRecording;
    const ChannelController* channel = nullptr;
};

// An ordinary value string as the channel window shows it.
QString shownForm(const QString& valueString) {
    const QStringList f = valueString.split(';');
    return formatVoltString(f.value(1).toInt()) + "|" + formatAmpereString(f.value(2).toInt()) +
           "|" + formatAmpereHourString(f.value(0).toInt());
}

class ChannelSim : public ProgramFilesTest {
protected:
    void SetUp() override {
        if (!charger.available())
            GTEST_SKIP() << charger.error().toStdString();
        ASSERT_NO_FATAL_FAILURE(ProgramFilesTest::SetUp());
        ASSERT_TRUE(session().openRecordsets());
        QStringList args{"--channels", "4", "--speed", "600"};
        for (int ch = 1; ch <= 4; ++ch)
            args << "--battery" << QString("%1,NiMH,6,2000,20").arg(ch);
        ASSERT_TRUE(charger.start(folder.path(), args)) << charger.error().toStdString();
    }
    void TearDown() override {
        channels.clear();
        charger.stop();
        ProgramFilesTest::TearDown();
    }
    // Waits while a channel's step runs on (the start reads the charger).
    static void settle(const ChannelController& c) {
        QElapsedTimer t;
        t.start();
        while (c.isBusy() && t.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    SimulatedCharger charger;
    FakeHost host;
    ValueLog displays[4];
    std::vector<std::unique_ptr<ChannelController>> channels;
};

TEST_F(ChannelSim, FourChargesAreRecordedCompletely) {
    qint32 series[4];
    for (int i = 0; i < 4; ++i) {
        const QString code = QString("00%1").arg(i + 1);
        channels.push_back(std::make_unique<ChannelController>(
            session(), *ChannelCode::fromText(code), charger.link(), host, displays[i]));
        ChannelController& c = *channels.back();
        displays[i].channel = &c;
        c.load(false);
        settle(c);
        ASSERT_NE(displays[i][ChannelField::Status], text("6000")) << code.toStdString();
        ASSERT_FALSE(QCoro::waitFor(charger.link()->sendProgram(
                                        code + ",P,A02,M01,Z06,F1,W30,L02000,E01000,V07200,D06000"))
                         .isEmpty())
            << code.toStdString();
        QCoro::waitFor(c.resetForNewProgram());
        const NewSeries created = newSeries(user());
        series[i] = created.id;
        QCoro::waitFor(c.startRecording(created.akku, series[i], false, true));
        ASSERT_TRUE(c.isRecording());
        // The recording takes over what the channel showed of this run so far
        // (the first reading after the program was sent).
        displays[i].shownWhileRecording = displays[i].shown;
    }

    // A charge has ended when the channel left charging after it had charged;
    // the channels are ticked as the windows' timers would, a lot faster.
    bool charged[4] = {false, false, false, false};
    auto finished = [&](int i) {
        charged[i] = charged[i] || channels[size_t(i)]->measurementRunning();
        return charged[i] && !channels[size_t(i)]->measurementRunning();
    };
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 120000 && finished(0) + finished(1) + finished(2) + finished(3) < 4) {
        for (auto& c : channels)
            QCoro::waitFor(c->tick());
        QThread::msleep(100);
    }
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
