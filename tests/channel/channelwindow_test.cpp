// The channel window: that it shows what the poll cycle says, where it puts
// it, and its wiring to the main window and the program editor.
#include "channel_fixture.h"

#include "channel/core/channelboard.h"
#include "channel/ui/channelwindow.h"
#include "charts/ui/livecurvechart.h"
#include "support/controls.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"
#include "ui/mainwindow/channelwindowfactory.h"
#include "ui/mainwindow/mainwindow.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace velmara::test {
namespace {

class ChannelWindowTest : public ChannelTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ChannelTest::SetUp());
        board = std::make_unique<ChannelBoard>(session());
    }
    void TearDown() override {
        board.reset();
        ChannelTest::TearDown();
    }
    // The window of a channel on the board (started unless it runs).
    std::unique_ptr<ChannelWindow> window(const QString& code) {
        const ChannelCode channel = *ChannelCode::fromText(code);
        board->start(channel, link.get(), false, [this] { return now; });
        return std::make_unique<ChannelWindow>(session(), *board, channel);
    }
    QString shown(ChannelWindow* w, const char* box) { return child<QLineEdit>(w, box)->text(); }
    std::unique_ptr<ChannelBoard> board;
};

TEST_F(ChannelWindowTest, ShowsWhatThePollSaysAlsoWhenMadeAnew) {
    queueStart("003");
    auto w = window("003");
    w->show();
    poll(w->controller(), "003,M,SL,L01500,V07234,K00350");
    poll(w->controller(), "003,M,SL,L01500,V07235,K00351");
    EXPECT_EQ(shown(w.get(), "txtSpannung"), "7.235 V");
    EXPECT_EQ(w->liveCurve()->curve().samples().size(), 2u) << "each reading on the live curve";

    // A fault greys the values it froze and is drawn in place of the state box.
    poll(w->controller(), "003,M,SQV");
    EXPECT_FALSE(child<QLineEdit>(w.get(), "txtSpannung")->isEnabled());
    poll(w->controller(), "003,M,SL,L01500,V07234,K00350");
    EXPECT_TRUE(child<QLineEdit>(w.get(), "txtSpannung")->isEnabled());

    // Each line knows its stored end value (a double click opens its diagram).
    poll(w->controller(), "003,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000");
    auto* laden = child<QListWidget>(w.get(), "lstEndwertLaden");
    ASSERT_EQ(laden->count(), 1);
    EXPECT_GT(laden->item(0)->data(Qt::UserRole).toInt(), 0);

    // The channel goes on without a window; a window made anew shows it.
    w.reset();
    poll(*board->controller("003"), "003,M,SL,L01500,V07240,K00360");
    w = window("003");
    EXPECT_EQ(shown(w.get(), "txtSpannung"), "7.240 V");
    EXPECT_EQ(child<QListWidget>(w.get(), "lstEndwertLaden")->count(), 1);
}

TEST_F(ChannelWindowTest, FaultBoxOncePerFaultEpisode) {
    queueStart("001");
    auto w = window("001");
    ScriptedMessages boxes(session());
    boxes.expect("0880");
    for (int i = 0; i < 3; ++i)
        poll(w->controller(), "001,M,SG");
    // A notice: the tick that shows it goes on, nothing waits for the user.
    EXPECT_EQ(boxes.openNotices, QStringList{"channel-fault-001"});

    // The same fault after leaving it is a new episode.
    poll(w->controller(), "001,M,SL,L01000,V07000,K00010");
    boxes.expect("0880");
    poll(w->controller(), "001,M,SG");
    EXPECT_EQ(boxes.shown.size(), 2);
}

TEST_F(ChannelWindowTest, FactoryMakesWindowsOnTheMainWindow) {
    MainWindow main(folder.session(), *board);
    installChannelWindows(main);
    ChannelViewFactory factory = channelWindowFactory();
    // No link yet: channel 1 finds no charger and tells the others.
    std::unique_ptr<ChannelView> v1(factory("001", &main));
    std::unique_ptr<ChannelView> v2(factory("002", &main));
    EXPECT_EQ(v2->channelCode(), "002");
    EXPECT_TRUE(board->chargerMissing());
    EXPECT_EQ(board->tempSeriesCount(), 2) << "each channel took one id";
    auto* k1 = dynamic_cast<ChannelWindow*>(v1.get());
    ASSERT_TRUE(k1);
    EXPECT_TRUE(k1->controller().isPolling());
    QCoro::waitFor(k1->controller().startRecording(7, 1, false, false));
    EXPECT_TRUE(v1->isBatteryUsed(7));
    EXPECT_FALSE(v2->isBatteryUsed(7));
    EXPECT_TRUE(v1->releaseBattery(7));
    EXPECT_FALSE(v1->isBatteryUsed(7));
}

// The program button opens the editor on the program the channel runs; while
// it is open, programs the charger reports go to the editor.
TEST_F(ChannelWindowTest, ProgramButtonOpensTheEditorOnTheChannelsProgram) {
    queueStart("003", "D", "M,SA", "003,P,A05,M02,Z06,F1,W30,L01500,E00700,V08400,D06000,G1");
    auto w = window("003");
    ScriptedDialogs dialogs(session().prompter());
    QString chargeCurrent;
    bool forwarding = false;
    dialogs.expect("dlgVelmaraProgram", [&](QDialog* d) {
        forwarding = bool(w->controller().programChangedFromOutside);
        chargeCurrent = d->findChild<QLineEdit*>("txtLadestrom")->text();
        return int(QDialog::Rejected);
    });
    child<QPushButton>(w.get(), "cmdProgram")->click();
    EXPECT_EQ(chargeCurrent, QLocale().toString(1.5, 'f', 3));
    EXPECT_TRUE(forwarding);
    EXPECT_FALSE(bool(w->controller().programChangedFromOutside));
}

} // namespace
} // namespace velmara::test
