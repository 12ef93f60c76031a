// The windows the channel windows and the main window open: the capture dialog
// of a channel, the management dialog, and the diagram of a channel's
// temporary series inside the main window's area.
#include "../shell/mainwindow_fixture.h"

#include "channel/ui/channelwindow.h"
#include "channel/ui/channelwindowfactory.h"
#include "charts/ui/diagramwindow.h"
#include "data/databases.h"
#include "data/storage/database.h"
#include "shell/core/programsettings.h"

#include <QAction>
#include <QDialog>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace velmara::test {
namespace {

class Openers : public MainWindowTest {
protected:
    void SetUp() override {
        prepare({{"UsedCharger", "QMT1"}});
        window = makeWindow();
        installChannelWindows(*window);
        ASSERT_EQ(window->load(), StartupOutcome::Running);
        channel = dynamic_cast<frmKanal*>(window->channelView("001"));
        ASSERT_NE(channel, nullptr);
    }
    void TearDown() override {
        window.reset();
        MainWindowTest::TearDown();
    }
    std::unique_ptr<frmMDIMainForm> window;
    frmKanal* channel = nullptr;
};

TEST_F(Openers, CaptureAndManagementDialogsOpen) {
    {
        ScriptedDialogs dialogs;
        dialogs.reject("dlgMesswerteErfassen");
        channel->findChild<QPushButton*>("cmdMesswert")->click();
    }
    window->findChild<QAction*>("mnuBearbeitenMesswerteVerwalten")->trigger();
    auto* management = window->findChild<QDialog*>("dlgMesswerteErfassen");
    ASSERT_NE(management, nullptr);
    EXPECT_TRUE(management->isVisible());
    EXPECT_FALSE(management->isModal());
    management->close();
}

TEST_F(Openers, DiagramOfTheTemporarySeriesOpensInTheMainWindowsArea) {
    const qint32 series = channel->controller().tempSeriesId();
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(userDatabase()->execute(
            QString("INSERT INTO TempMessWerte (MessReiheID, EW, MessWertString) "
                    "VALUES (%1, 0, '%2;%3;1000;%4')")
                .arg(series)
                .arg(10 * i)
                .arg(7000 + 10 * i)
                .arg(30 * i)));
    channel->findChild<QPushButton*>("cmdDiagramme")->click();
    EXPECT_TRUE(channel->controller().diagramBusy);
    // A second click while the first loads does nothing.
    channel->findChild<QPushButton*>("cmdDiagramme")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!channel->controller().diagramBusy, 5000);
    DiagramWindow* diagram = window->diagramWindow();
    ASSERT_NE(diagram, nullptr);
    auto* sub = qobject_cast<QMdiSubWindow*>(diagram->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isVisible());
}

} // namespace
} // namespace velmara::test
