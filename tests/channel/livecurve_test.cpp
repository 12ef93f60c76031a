// The channel window's live curve and its channel events, driven by polls.
#include "channel_fixture.h"

#include "channel/ui/channelwindow.h"
#include "charts/ui/livecurvechart.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QToolButton>

namespace velmara::test {
namespace {

class LiveCurveWindow : public ChannelTest {
protected:
    std::unique_ptr<ChannelWindow> window() {
        queueIdle("001");
        auto w = std::make_unique<ChannelWindow>(session(), ChannelCode(1), link.get(), host,
                                                 nullptr, false, [this] { return now; });
        w->channelEventSink = [this](const ChannelEvent& e) { events.push_back(e); };
        return w;
    }
    std::vector<ChannelEvent> events;
};

TEST_F(LiveCurveWindow, DrawsTheValuesOfTheTemporarySeriesAsTheyArrive) {
    auto w = window();
    w->resize(400, 700);
    w->show();
    LiveCurveChart* curve = w->liveCurve();
    EXPECT_FALSE(curve->isVisible()) << "collapsed at first";
    auto* toggle = w->findChild<QToolButton*>("cmdKurve");
    ASSERT_NE(toggle, nullptr);
    // The curve takes the room the window has free, the window keeps its size,
    // and the time axis is in view (scrolled to where the window is too low).
    auto* view = w->findChild<QScrollArea*>("scrollKanal")->viewport();
    for (const int height : {1100, 420, 700}) {
        SCOPED_TRACE(height);
        w->resize(400, height);
        toggle->click();
        QCoreApplication::processEvents();
        EXPECT_TRUE(curve->isVisible());
        EXPECT_EQ(w->height(), height);
        const QRect chart(curve->mapTo(view, QPoint(0, 0)), curve->size());
        EXPECT_TRUE(view->rect().contains(chart.bottomLeft())) << "the time axis is out of view";
        if (height == 1100) {
            EXPECT_LT(view->rect().bottom() - chart.bottom(), 30) << "room left empty";
        }
        if (height != 700)
            toggle->click();
    }

    charge(w->controller(), 100);
    charge(w->controller(), 110);
    poll(w->controller(), "001,M,SE,E00900,V06900,K00020");
    ASSERT_EQ(curve->pointCount(), 3);
    const auto& samples = curve->curve().samples();
    EXPECT_EQ(samples[0].seconds, 0);
    EXPECT_EQ(samples[1].seconds, 3);
    EXPECT_EQ(samples[2].seconds, 6);
    EXPECT_EQ(samples[2].millivolt, 6900);
    EXPECT_EQ(samples[2].milliampere, 900);
    EXPECT_EQ(samples[2].milliampereHours, 20);

    // Resize, collapse and hide: the values stay, nothing is read again.
    w->resize(500, 800);
    toggle->click();
    w->hide();
    later(3);
    charge(w->controller(), 120); // collapsed and hidden, still collected
    w->show();
    toggle->click();
    EXPECT_EQ(curve->pointCount(), 4);

    // Trickle ends the process; the next charge is a new temporary series.
    poll(w->controller(), "001,M,SM");
    EXPECT_EQ(curve->pointCount(), 4) << "trickle values are not recorded";
    poll(w->controller(), "001,M,SA");
    later(3);
    charge(w->controller(), 5);
    EXPECT_EQ(curve->pointCount(), 1);
    EXPECT_EQ(curve->curve().samples()[0].milliampereHours, 5);
}

TEST_F(LiveCurveWindow, TellsEachEndAndFaultOnce) {
    auto w = window();
    charge(w->controller(), 100);
    for (int i = 0; i < 3; ++i) {
        poll(w->controller(), "001,M,SF");
    }
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], (ChannelEvent{"001", ChannelEvent::Kind::Ended, 5, 0}));

    charge(w->controller(), 10);
    for (int i = 0; i < 3; ++i) {
        poll(w->controller(), "001,M,SQS");
    }
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1], (ChannelEvent{"001", ChannelEvent::Kind::Fault, 7, 9}));
}

} // namespace
} // namespace velmara::test
