// The one diagram window inside the main window's area, asked for by a stored
// series and a channel within one load.
#include "../ui/mainwindow_fixture.h"

#include "batteries/ui/batteriesui.h"
#include "batteries/ui/storedserieswindow.h"
#include "channel/ui/channelwindow.h"
#include "charts/ui/diagramwindow.h"
#include "data/databases.h"
#include "storage/database.h"
#include "support/user_rows.h"
#include "ui/mainwindow/channelwindowfactory.h"

#include "ui/mainwindow/featurecontexts.h"
#include <QMdiArea>

#include <QMdiSubWindow>
#include <QPointer>
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
    // n ordinary values of a series in the table.
    void addValues(const char* table, qint32 series, int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(session().user()->execute(
                QString("INSERT INTO %1 (MessReiheID, EW, MessWertString) VALUES (?, 0, ?)")
                    .arg(table),
                {series, QString("%1;%2;1000;%3").arg(10 * i).arg(7000 + 10 * i).arg(30 * i)}));
    }
    // A battery's stored series with a program and twelve values, in its window.
    StoredSeriesWindow* openStoredSeries(const QString& battery) {
        const qint32 series = newSeries(*session().user(), battery,
                                        "001,P,A02,M01,Z06,F1,W30,L02000,E01000,V07200,D06000,G1,")
                                  .id;
        addValues("MessWerte", series, 12);
        StoredSeriesWindow* stored = openStoredSeriesWindow(
            {series, battery, "1", ""}, window->contexts().batteriesContext(), nullptr);
        stored->reload();
        return stored;
    }
    std::unique_ptr<MainWindow> window;
    ChannelWindow* channel = nullptr;
};

// Two requests within one load (a stored series, then the channel) share the one
// diagram sub-window, which fills the main window's area; the replaced request's
// busy flag drops when it is replaced, not before; a later request reuses the
// shown sub-window; OK closes it.
TEST_F(Openers, DiagramRequestsShareTheOneSubWindowOfTheMainArea) {
    addValues("TempMessWerte", channel->controller().tempSeriesId(), 12);
    StoredSeriesWindow* stored = openStoredSeries("Pack B");
    auto* fromStored = stored->findChild<QPushButton*>("cmdDiagramme");
    auto* fromChannel = channel->findChild<QPushButton*>("cmdDiagramme");
    fromStored->click();
    EXPECT_TRUE(stored->diagramBusy());
    fromChannel->click(); // replaces the stored series' load
    EXPECT_FALSE(stored->diagramBusy());
    EXPECT_TRUE(channel->controller().isDiagramBusy());
    fromChannel->click(); // a second click while it loads does nothing
    QTRY_VERIFY_WITH_TIMEOUT(!channel->controller().isDiagramBusy(), 5000);
    ASSERT_NE(window->contexts().diagramWindow(), nullptr);
    QPointer<QMdiSubWindow> sub =
        qobject_cast<QMdiSubWindow*>(window->contexts().diagramWindow()->parentWidget());
    ASSERT_FALSE(sub.isNull());
    EXPECT_EQ(window->mdiArea()->currentSubWindow(), sub.data());

    window->contexts().diagramWindow()->findChild<QPushButton*>("cmdOk")->click();
    QTRY_VERIFY_WITH_TIMEOUT(sub.isNull(), 5000);

    // Asked for from the stored series' own window it stands in front of it, not in the area.
    fromStored->click();
    QTRY_VERIFY_WITH_TIMEOUT(!stored->diagramBusy(), 5000);
    ASSERT_NE(window->contexts().diagramWindow(), nullptr);
    EXPECT_TRUE(window->contexts().diagramWindow()->isWindow());
    stored->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace velmara::test
