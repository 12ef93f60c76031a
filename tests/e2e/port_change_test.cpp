// The real channel windows polling a simulated charger while the user chooses
// another port: the windows go on polling through the same link, now on the
// new port.
#include "../ui/mainwindow_fixture.h"
#include "sim_process.h"

#include "channel/ui/channelwindow.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "link/chargerlink.h"
#include "ui/mainwindow/channelwindowfactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

namespace velmara::test {
namespace {

class PortChange : public MainWindowTest {
protected:
    void SetUp() override {
        if (!first.available())
            GTEST_SKIP() << first.error().toStdString();
        // Two four-channel chargers with a program running on every channel.
        const QStringList args{"--channels", "4", "--speed", "60", "--demo"};
        ASSERT_TRUE(first.launch(QDir(folder.path()).filePath("chargerA"), args));
        ASSERT_TRUE(second.launch(QDir(folder.path()).filePath("chargerB"), args));
        prepare({{"ComDevice1", first.linkPath()},
                 {"ComDevice2", second.linkPath()},
                 {"UsedCharger", "QMT4"}});
        window = makeWindow();
        installChannelWindows(*window);
        ASSERT_EQ(window->load(), StartupOutcome::Running);
        // The channels read the charger after the window is up: wait for them.
        for (int n = 1; n <= 4; ++n)
            settle(n);
    }
    // The poll timers run too: a tick of their own may still be under way.
    void settle(int n) {
        QElapsedTimer t;
        t.start();
        while (channel(n).isBusy() && t.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    void tick(int n) {
        settle(n);
        QCoro::waitFor(channel(n).tick());
    }
    void TearDown() override {
        window.reset();
        MainWindowTest::TearDown();
    }
    ChannelController& channel(int n) {
        auto* w = dynamic_cast<ChannelWindow*>(window->channelView(QString("00%1").arg(n)));
        EXPECT_NE(w, nullptr);
        return w->controller();
    }
    // Every channel shows a state the charger reported, not the lost connection.
    void expectAllAnswering() {
        for (int n = 1; n <= 4; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(channel(n).status().channelCode, ChannelCode(n));
            EXPECT_NE(channel(n).status().answerType, StatusRecord::NoAnswer);
        }
    }

    SimulatedCharger first, second;
    std::unique_ptr<MainWindow> window;
};

// The user chooses the other charger while channel 1 waits for a silent one
// and events run.
TEST_F(PortChange, ChannelWindowsPollOnThroughAPortChange) {
    expectAllAnswering();
    ChargerLink* link = window->comLink();
    first.command("silent all");
    // The simulator reads the command when it gets to it.
    for (int i = 0; i < 3 * ChannelController::SilentProbesBeforeChargerMissing &&
                    !window->board().chargerMissing();
         ++i)
        tick(1);
    ASSERT_TRUE(window->board().chargerMissing());
    settle(1);
    bool changed = false;
    QTimer::singleShot(100, window.get(), [&] {
        session().setSetting("ComPort", "2");
        changed = window->reopenSerialLink();
    });
    tick(1); // a probe that waits: the port changes meanwhile
    EXPECT_TRUE(changed);
    EXPECT_EQ(window->comLink(), link);
    EXPECT_EQ(window->comLink()->port().devicePath(), second.linkPath());
    tick(1);
    EXPECT_FALSE(window->board().chargerMissing());
    for (int n = 1; n <= 4; ++n)
        tick(n);
    expectAllAnswering();

    window->endProgram();
}

} // namespace
} // namespace velmara::test
