#include "data/session.h"
#include "mainwindow_fixture.h"

#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "data/settingsstore.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace velmara::test {

Pty::Pty() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
        m_slave = QString::fromLocal8Bit(ptsname(m_master));
}

Pty::~Pty() {
    if (m_master >= 0)
        ::close(m_master);
}

void MainWindowTest::prepare(const QMap<QString, QString>& overrides) {
    ASSERT_FALSE(pty.slavePath().isEmpty());
    ASSERT_TRUE(openMasterDatabase());
    auto rs = masterDatabase()->openRecordset("SELECT * FROM Optionen");
    ASSERT_TRUE(rs->isValid()) << rs->error().toStdString();
    currentSession()->settings().setRecordset(std::move(rs));
    setSetting("FirstStartup", "NO");
    setSetting("ComPort", "1");
    setSetting("ComDevice1", pty.slavePath());
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        setSetting(it.key(), it.value());
    closeDatabases();
}

QString MainWindowTest::storedSetting(const QString& key) {
    if (!openMasterDatabase())
        return "<no database>";
    auto rs = masterDatabase()->openRecordset("SELECT * FROM Optionen");
    currentSession()->settings().setRecordset(std::move(rs));
    QString value = getSetting(key);
    closeDatabases();
    return value;
}

std::unique_ptr<MainWindow> MainWindowTest::makeWindow() {
    auto w = std::make_unique<MainWindow>(*currentSession());
    w->setChannelViewFactory([this](const QString& code, MainWindow*) -> ChannelView* {
        return new RecordingChannelView(code, &asked);
    });
    w->setUrlOpener([](const QUrl&) { return true; });
    return w;
}

std::unique_ptr<MainWindow> MainWindowTest::start(const QMap<QString, QString>& overrides) {
    prepare(overrides);
    auto w = makeWindow();
    EXPECT_EQ(w->load(), StartupOutcome::Running);
    return w;
}

void MainWindowTest::TearDown() {
    closeDatabases();
}

} // namespace velmara::test
