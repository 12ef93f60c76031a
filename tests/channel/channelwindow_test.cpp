// The channel window: its controls, and that it shows what the poll cycle says.
#include "channel_fixture.h"

#include "channel/ui/channelwindow.h"
#include "support/controls.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"
#include "support/word_ends.h"
#include "ui/mainwindow/channelwindowfactory.h"
#include "ui/mainwindow/mainwindow.h"

#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

namespace velmara::test {
namespace {

class ChannelWindowTest : public ChannelTest {
protected:
    std::unique_ptr<ChannelWindow> window(const QString& code) {
        return std::make_unique<ChannelWindow>(session(), *ChannelCode::fromText(code), link.get(),
                                               host, nullptr, false, [this] { return now; });
    }
};

TEST_F(ChannelWindowTest, ShowsWhatThePollSaysAndHidesOnClose) {
    queueIdle("003");
    auto w = window("003");
    w->show();
    EXPECT_EQ(w->objectName(), "frmKanal3");
    EXPECT_EQ(w->windowTitle(), text("0798"));
    EXPECT_EQ(child<QLabel>(w.get(), "lblSelbstentladung")->text(), text("0850"));
    EXPECT_TRUE(child<QPushButton>(w.get(), "cmdProgram")->isEnabled());
    for (const char* name : {"cmdMesswert", "cmdDruck", "cmdDiagramme"})
        EXPECT_FALSE(child<QPushButton>(w.get(), name)->isEnabled()) << name;
    for (const char* name :
         {"lblAkkuzustand", "txtAkkuzustand", "lblSelbstentladung", "txtSelbstentladung"})
        EXPECT_FALSE(child<QWidget>(w.get(), name)->isVisible()) << name;
    // The lines are fixed columns: the lists ask for a fixed-pitch font (which font
    // the machine resolves that to is its own business).
    for (const char* name : {"lstEndwertLaden", "lstEndwertEntladen"}) {
        const QFont font = child<QListWidget>(w.get(), name)->font();
        EXPECT_TRUE(font.fixedPitch()) << name;
        EXPECT_EQ(font.styleHint(), QFont::TypeWriter) << name;
    }
    EXPECT_EQ(child<QLineEdit>(w.get(), "txtStatus")->text(), text("6010"));
    EXPECT_EQ(child<QLineEdit>(w.get(), "txtAkkuTyp")->text(), text("0912"));

    poll(w->controller(), "003,M,SL,L01500,V07234,K00350");
    EXPECT_EQ(child<QLineEdit>(w.get(), "txtSpannung")->text(), "7.234 V");
    EXPECT_EQ(child<QLineEdit>(w.get(), "txtStrom")->text(), "1.500 A");
    EXPECT_EQ(child<QLineEdit>(w.get(), "txtKapazitaet")->text(), "0.350 Ah");

    // A fault greys the values it froze; its text shows from the start, all
    // of it in the tool tip.
    auto* status = child<QLineEdit>(w.get(), "txtStatus");
    poll(w->controller(), "003,M,SQV");
    EXPECT_EQ(status->text(), text("0874"));
    EXPECT_EQ(status->cursorPosition(), 0);
    EXPECT_EQ(status->toolTip(), text("0874"));
    for (const char* name : {"txtSpannung", "txtStrom", "txtKapazitaet"}) {
        EXPECT_FALSE(child<QLineEdit>(w.get(), name)->isEnabled()) << name;
        EXPECT_FALSE(child<QLineEdit>(w.get(), name)->text().isEmpty()) << name;
    }
    // It is drawn as a fault, all of it readable in place of the state box.
    EXPECT_FALSE(status->isVisible());
    EXPECT_TRUE(child<QWidget>(w.get(), "frameFehler")->isVisible());
    EXPECT_EQ(child<QLabel>(w.get(), "frameFehlerText")->text(), text("0874"));
    EXPECT_TRUE(child<QLabel>(w.get(), "frameFehlerText")->wordWrap());
    poll(w->controller(), "003,M,SL,L01500,V07234,K00350");
    EXPECT_TRUE(child<QLineEdit>(w.get(), "txtSpannung")->isEnabled());
    EXPECT_TRUE(status->isVisible());
    EXPECT_FALSE(child<QWidget>(w.get(), "frameFehler")->isVisible());

    poll(w->controller(), "003,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000");
    auto* laden = child<QListWidget>(w.get(), "lstEndwertLaden");
    ASSERT_EQ(laden->count(), 1);
    ASSERT_EQ(child<QListWidget>(w.get(), "lstEndwertEntladen")->count(), 1);
    EXPECT_EQ(laden->item(0)->text(), " 1.      1.000     8.400    90");
    EXPECT_GT(laden->item(0)->data(Qt::UserRole).toInt(), 0);
    EXPECT_FALSE(child<QLineEdit>(w.get(), "txtAkkuzustand")->isVisible())
        << "the last end value carries no verdict";

    // The heartbeat flashes, but never in red, the colour of faults.
    w->controller().flashingTick();
    const QString beat = child<QGroupBox>(w.get(), "frameStatus")->styleSheet();
    EXPECT_TRUE(beat.contains("color")) << beat.toStdString();
    EXPECT_FALSE(beat.contains("255, 0, 0") || beat.contains("#ff0000")) << beat.toStdString();

    w->close();
    EXPECT_FALSE(w->isVisible());
    poll(w->controller(), "003,M,SL,L01500,V07240,K00360");
    EXPECT_EQ(child<QLineEdit>(w.get(), "txtSpannung")->text(), "7.240 V")
        << "hidden, still polling";
}

TEST_F(ChannelWindowTest, FaultBoxOncePerFaultEpisode) {
    queueIdle("001");
    auto w = window("001");
    ScriptedMessages boxes(session());
    boxes.expect("0880");
    for (int i = 0; i < 3; ++i)
        poll(w->controller(), "001,M,SG");
    ASSERT_EQ(boxes.shown.size(), 1);
    // A notice: the tick that shows it goes on, nothing waits for the user.
    EXPECT_EQ(boxes.openNotices, QStringList{"channel-fault-001"});

    // Another fault is a new episode; so is the same fault after leaving it.
    boxes.expect("0876");
    for (const char* a : {"001,M,SQR", "001,M,SQR", "001,M,SL,L01000,V07000,K00010"})
        poll(w->controller(), a);
    boxes.expect("0876");
    poll(w->controller(), "001,M,SQR");
    EXPECT_EQ(boxes.shown.size(), 3);
}

// Where a control lies in the visible part of the window's scrolled pane.
QRect inViewport(QScrollArea* scroll, QWidget* w) {
    return QRect(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size());
}

// A quarter of a small screen: every button shows in full; a window lower than
// its content scrolls to the lists instead of cutting them off.
TEST_F(ChannelWindowTest, NarrowWindowShowsItsButtonsAndScrollsToTheRest) {
    queueIdle("002");
    auto w = window("002");
    w->resize(340, 700);
    w->show();
    QCoreApplication::processEvents();
    auto* scroll = child<QScrollArea>(w.get(), "scrollKanal");
    EXPECT_EQ(w->channelLayout(), ChannelLayout::Column);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0) << "nothing to scroll sideways";
    const QRect visible = scroll->viewport()->rect();
    for (const char* name : {"cmdProgram", "cmdMesswert", "cmdDiagramme", "cmdDruck"}) {
        auto* b = child<QPushButton>(w.get(), name);
        EXPECT_TRUE(visible.contains(inViewport(scroll, b))) << name;
        EXPECT_GE(b->width(), b->minimumSizeHint().width()) << name << ": caption cut";
    }

    w->resize(340, 220);
    QCoreApplication::processEvents();
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    auto* last = child<QWidget>(w.get(), "txtBemerkung");
    EXPECT_FALSE(scroll->viewport()->rect().intersects(inViewport(scroll, last)));
    scroll->ensureWidgetVisible(last);
    EXPECT_TRUE(scroll->viewport()->rect().contains(inViewport(scroll, last)));
}

// Four windows stacked on a small screen are low and wide: the state and the
// end values stand next to each other, visible without scrolling.
TEST_F(ChannelWindowTest, LowWideWindowShowsStateAndValuesSideBySide) {
    queueIdle("004");
    auto w = window("004");
    w->resize(1229, 140); // a quarter of the work area, less the frame's title
    w->show();
    QCoreApplication::processEvents();
    ASSERT_EQ(w->channelLayout(), ChannelLayout::Row);
    auto* scroll = child<QScrollArea>(w.get(), "scrollKanal");
    const QRect visible = scroll->viewport()->rect();
    for (const char* name : {"txtStatus", "txtStrom", "txtSpannung", "txtKapazitaet"})
        EXPECT_TRUE(visible.contains(inViewport(scroll, child<QWidget>(w.get(), name)))) << name;
    for (const char* name : {"lstEndwertLaden", "lstEndwertEntladen"})
        EXPECT_LT(inViewport(scroll, child<QWidget>(w.get(), name)).top(), visible.bottom())
            << name << " starts below the visible part";

    // Back to a narrow window: everything under each other again.
    w->resize(340, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->channelLayout(), ChannelLayout::Column);
    EXPECT_GT(inViewport(scroll, child<QWidget>(w.get(), "lstEndwertLaden")).top(),
              inViewport(scroll, child<QWidget>(w.get(), "txtStatus")).bottom());
}

// The heading line stands over the value columns: the same character columns,
// and the heading's text starts where the lines' text starts, in either form
// of the window.
TEST_F(ChannelWindowTest, EndValueHeadingsStandOverTheirColumns) {
    queueIdle("003");
    auto w = window("003");
    w->show();
    poll(w->controller(), "003,D,SL,K01000,T90,V08400,X0,SE,K00950,T75,V06000,SL,K12345,T123,"
                          "V11000,X0");
    for (QSize size : {QSize(340, 700), QSize(1229, 160)}) {
        w->resize(size);
        QCoreApplication::processEvents();
        for (auto [list, heading] : {std::pair{"lstEndwertLaden", "lblLadenKopf"},
                                     std::pair{"lstEndwertEntladen", "lblEntladenKopf"}}) {
            auto* l = child<QListWidget>(w.get(), list);
            auto* h = child<QLabel>(w.get(), heading);
            ASSERT_GT(l->count(), 0);
            for (int i = 0; i < l->count(); ++i)
                EXPECT_EQ(wordEnds(h->text()), wordEnds(l->item(i)->text()))
                    << list << "\n"
                    << h->text().toStdString() << "\n"
                    << l->item(i)->text().toStdString();
            EXPECT_EQ(h->font(), l->font()) << heading;
            const int textMargin =
                l->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, l) + 1;
            const QPoint lineStart =
                l->viewport()->mapTo(w.get(), l->visualItemRect(l->item(0)).topLeft());
            EXPECT_EQ(h->mapTo(w.get(), QPoint(h->indent(), 0)).x(), lineStart.x() + textMargin)
                << heading;
            EXPECT_GE(l->viewport()->width(),
                      QFontMetrics(l->font()).horizontalAdvance(l->item(0)->text()))
                << list << ": line cut";
        }
    }
    // The single headings are still there by name for the report.
    EXPECT_EQ(child<QLabel>(w.get(), "lblLadenAh")->text(), text("0836"));
    EXPECT_EQ(child<QLabel>(w.get(), "lblEntladenMin")->text(), text("0840"));
}

TEST_F(ChannelWindowTest, FactoryMakesWindowsOnTheMainWindow) {
    MainWindow main(folder.session());
    installChannelWindows(main);
    ChannelViewFactory factory = channelWindowFactory();
    // No link yet: channel 1 finds no charger and tells the others.
    std::unique_ptr<ChannelView> v1(factory("001", &main));
    std::unique_ptr<ChannelView> v2(factory("002", &main));
    EXPECT_EQ(v2->channelCode(), "002");
    EXPECT_TRUE(main.chargerMissing);
    EXPECT_EQ(main.newTempSeriesId(), 3) << "each window took one id";
    auto* k1 = dynamic_cast<ChannelWindow*>(v1.get());
    ASSERT_TRUE(k1);
    EXPECT_EQ(k1->controller().pollInterval(), 14000);
    EXPECT_EQ(main.findChild<QLabel*>("Kanal1Text")->toolTip(), text("6000"));
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
    answer("003,P,A05,M02,Z06,F1,W30,L01500,E00700,V08400,D06000,G1");
    answer("003,D");
    answer("003,M,SA");
    auto w = window("003");
    ScriptedDialogs dialogs(session().prompter());
    QString chargeCurrent, dischargeCurrent;
    bool forwarding = false;
    dialogs.expect("dlgVelmaraProgram", [&](QDialog* d) {
        EXPECT_TRUE(w->controller().isProgramDialogOpen());
        forwarding = bool(w->controller().programChangedFromOutside);
        chargeCurrent = d->findChild<QLineEdit*>("txtLadestrom")->text();
        dischargeCurrent = d->findChild<QLineEdit*>("txtEntladestrom")->text();
        return int(QDialog::Rejected);
    });
    child<QPushButton>(w.get(), "cmdProgram")->click();
    EXPECT_EQ(chargeCurrent, QLocale().toString(1.5, 'f', 3));
    EXPECT_EQ(dischargeCurrent, QLocale().toString(0.7, 'f', 3));
    EXPECT_TRUE(forwarding);
    EXPECT_FALSE(w->controller().isProgramDialogOpen());
    EXPECT_FALSE(bool(w->controller().programChangedFromOutside));
}

} // namespace
} // namespace velmara::test
