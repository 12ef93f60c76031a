#include "mainwindow_fixture.h"
#include "data/session.h"

#include "storage/database.h"
#include "storage/recordset.h"

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
    ASSERT_TRUE(session().openMaster().ok);
    auto rs = session().master()->openRecordset("SELECT * FROM Optionen");
    ASSERT_TRUE(rs->isValid()) << rs->error().toStdString();
    session().settings().setRecordset(std::move(rs));
    session().setSetting("FirstStartup", "NO");
    session().setSetting("ComPort", "1");
    session().setSetting("ComDevice1", pty.slavePath());
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        session().setSetting(it.key(), it.value());
    session().closeFiles();
}

QString MainWindowTest::storedSetting(const QString& key) {
    if (!session().openMaster().ok)
        return "<no database>";
    session().settings().setRecordset(session().master()->openRecordset("SELECT * FROM Optionen"));
    QString value = session().setting(key);
    session().closeFiles();
    return value;
}

std::unique_ptr<MainWindow> MainWindowTest::makeWindow() {
    boards.push_back(std::make_unique<ChannelBoard>(session()));
    auto w = std::make_unique<MainWindow>(session(), *boards.back());
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
    session().closeFiles();
}

} // namespace velmara::test
