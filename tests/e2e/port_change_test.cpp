// The real channel windows polling a simulated charger while the user chooses
// another port: in the middle of a round of ticks, and while channel 1 waits
// for a silent charger with the user interface running. The windows go on
// polling through the same link, now on the new port.
#include "../ui/mainwindow_fixture.h"

#include "channel/ui/channelwindow.h"
#include "ui/mainwindow/channelwindowfactory.h"
#include "link/chargerlink.h"
#include "data/textstore.h"
#include "data/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

namespace velmara::test {
namespace {

// A simulated four-channel charger with a program running on every channel.
class Simulator {
public:
    bool start(const QString& linkPath) {
        const QString sim = QDir(qEnvironmentVariable("VELMARA_BIN_DIR"))
                                .filePath(QStringLiteral("velmara-charger-sim"));
        if (!QFileInfo(sim).isExecutable())
            return false;
        path = linkPath;
        m_process.start(sim, {"--link", path, "--channels", "4", "--speed", "60", "--demo"});
        if (!m_process.waitForStarted(5000))
            return false;
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(path) && t.elapsed() < 5000)
            QThread::msleep(20);
        return QFileInfo::exists(path);
    }
    void command(const QByteArray& line) {
        m_process.write(line + "\n");
        m_process.waitForBytesWritten(1000);
    }
    ~Simulator() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        command("quit");
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    QString path;

private:
    QProcess m_process;
};

class PortChange : public MainWindowTest {
protected:
    void SetUp() override {
        if (!first.start(QDir(folder.path()).filePath("chargerA")) ||
            !second.start(QDir(folder.path()).filePath("chargerB")))
            GTEST_SKIP() << "charger simulator not built";
        prepare({{"ComDevice1", first.path}, {"ComDevice2", second.path}, {"UsedCharger", "QMT4"}});
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
    void choosePort(int n) {
        setSetting("ComPort", QString::number(n));
        ASSERT_TRUE(window->reopenSerialLink());
    }
    // Every channel shows a state the charger reported, not the lost connection.
    void expectAllAnswering() {
        for (int n = 1; n <= 4; ++n) {
            SCOPED_TRACE(n);
            EXPECT_EQ(channel(n).status().channelCode, QString("00%1").arg(n));
            EXPECT_NE(channel(n).status().answerType, StatusRecord::NoAnswer);
        }
    }

    Simulator first, second;
    std::unique_ptr<MainWindow> window;
};

TEST_F(PortChange, ChannelWindowsPollOnThroughAPortChange) {
    expectAllAnswering();
    ChargerLink* link = window->comLink();

    // In the middle of a round of ticks.
    tick(1);
    tick(2);
    choosePort(2);
    for (int n = 3; n <= 4; ++n)
        tick(n);
    for (int n = 1; n <= 4; ++n)
        tick(n);
    expectAllAnswering();
    EXPECT_EQ(window->comLink(), link);
    EXPECT_EQ(window->comLink()->port().devicePath(), second.path);

    // While channel 1 waits for a silent charger and events run.
    second.command("silent all");
    // The simulator reads the command when it gets to it.
    for (int i = 0; i < 3 * ChannelController::SilentProbesBeforeChargerMissing && !window->chargerMissing; ++i)
        tick(1);
    ASSERT_TRUE(window->chargerMissing);
    settle(1);
    bool changed = false;
    QTimer::singleShot(100, window.get(), [&] {
        setSetting("ComPort", "1");
        changed = window->reopenSerialLink();
    });
    tick(1); // a probe that waits: the port changes meanwhile
    EXPECT_TRUE(changed);
    EXPECT_EQ(window->comLink()->port().devicePath(), first.path);
    tick(1);
    EXPECT_FALSE(window->chargerMissing);
    for (int n = 1; n <= 4; ++n)
        tick(n);
    expectAllAnswering();

    window->endProgram();
}

} // namespace
} // namespace velmara::test
