// The diagram of a channel's temporary series opens once, in the main window's
// area, however often its button is clicked while it loads.
#include "../ui/mainwindow_fixture.h"

#include "channel/ui/channelwindow.h"
#include "charts/ui/diagramwindow.h"
#include "storage/database.h"
#include "ui/mainwindow/channelwindowfactory.h"

#include <QMdiSubWindow>
#include <QPushButton>
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
        channel = dynamic_cast<ChannelWindow*>(window->channelView("001"));
        ASSERT_NE(channel, nullptr);
    }
    void TearDown() override {
        window.reset();
        MainWindowTest::TearDown();
    }
    std::unique_ptr<MainWindow> window;
    ChannelWindow* channel = nullptr;
};

TEST_F(Openers, DiagramOfTheTemporarySeriesOpensOnceInTheMainWindowsArea) {
    const qint32 series = channel->controller().tempSeriesId();
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(session().user()->execute(
            "INSERT INTO TempMessWerte (MessReiheID, EW, MessWertString) VALUES (?, 0, ?)",
            {series, QString("%1;%2;1000;%3").arg(10 * i).arg(7000 + 10 * i).arg(30 * i)}));
    auto* open = channel->findChild<QPushButton*>("cmdDiagramme");
    open->click();
    EXPECT_TRUE(channel->controller().isDiagramBusy());
    open->click(); // a second click while the first loads does nothing
    QTRY_VERIFY_WITH_TIMEOUT(!channel->controller().isDiagramBusy(), 5000);
    DiagramWindow* diagram = window->diagramWindow();
    ASSERT_NE(diagram, nullptr);
    auto* sub = qobject_cast<QMdiSubWindow*>(diagram->parentWidget());
    ASSERT_NE(sub, nullptr);
}

} // namespace
} // namespace velmara::test
