#pragma once
// Channels of the program against the charger simulator: the delivered files of
// a fresh program folder, the simulator on a pseudo-terminal, and the values a
// channel showed next to the values it stored.
#include "../channel/channel_fixture.h"
#include "sim_process.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace velmara::test {

// The start of a channel runs on while the charger answers: wait for it.
inline void settle(const ChannelController& c) {
    QElapsedTimer t;
    t.start();
    while (c.isBusy() && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

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
inline QString shownForm(const QString& valueString) {
    const QStringList f = valueString.split(';');
    return formatVoltString(f.value(1).toInt()) + "|" + formatAmpereString(f.value(2).toInt()) +
           "|" + formatAmpereHourString(f.value(0).toInt());
}

// The simulator started with simulatorArguments() on the files of a fresh
// program folder; skipped when the simulator is not built.
class SimChannelTest : public ProgramFilesTest {
protected:
    virtual QStringList simulatorArguments() const = 0;
    void SetUp() override {
        if (!charger.available())
            GTEST_SKIP() << charger.error().toStdString();
        ASSERT_NO_FATAL_FAILURE(ProgramFilesTest::SetUp());
        ASSERT_TRUE(session().openRecordsets());
        ASSERT_TRUE(charger.start(folder.path(), simulatorArguments()))
            << charger.error().toStdString();
        link = charger.link();
    }
    void TearDown() override {
        channels.clear();
        charger.stop();
        ProgramFilesTest::TearDown();
    }
    // A channel on the simulator, loaded and through its first requests.
    ChannelController& addChannel(const QString& code, ChannelDisplay& display) {
        channels.push_back(std::make_unique<ChannelController>(
            session(), *ChannelCode::fromText(code), link, host, display));
        channels.back()->load(false);
        settle(*channels.back());
        return *channels.back();
    }
    // Sends a program to the charger; false when it did not answer.
    bool sendProgram(const QString& text) {
        return !QCoro::waitFor(link->sendProgram(text)).isEmpty();
    }
    // Ticks every channel as the windows' timers would, a lot faster, until done()
    // or the time is up.
    bool pollUntil(const std::function<bool()>& done, int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            for (auto& c : channels)
                QCoro::waitFor(c->tick());
            if (done())
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    SimulatedCharger charger;
    ChargerLink* link = nullptr;
    FakeHost host;
    std::vector<std::unique_ptr<ChannelController>> channels;
};

} // namespace velmara::test
