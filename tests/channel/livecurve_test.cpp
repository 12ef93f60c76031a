// The channel window's live curve, driven by polls.
#include "channel_fixture.h"

#include "channel/ui/channelwindow.h"
#include "charts/ui/livecurvechart.h"

#include <QCoreApplication>
#include <QToolButton>

namespace velmara::test {
namespace {

class LiveCurveWindow : public ChannelTest {
protected:
    std::unique_ptr<ChannelWindow> window() {
        queueStart("001");
        auto w = std::make_unique<ChannelWindow>(session(), ChannelCode(1), link.get(), host,
                                                 nullptr, false, [this] { return now; });
        return w;
    }
};

TEST_F(LiveCurveWindow, DrawsTheValuesOfTheTemporarySeriesAsTheyArrive) {
    auto w = window();
    w->show();
    LiveCurveChart* curve = w->liveCurve();
    auto* toggle = w->findChild<QToolButton*>("cmdKurve");
    ASSERT_NE(toggle, nullptr);
    toggle->click();
    EXPECT_TRUE(curve->isVisible());

    charge(w->controller(), 100);
    charge(w->controller(), 110);
    poll(w->controller(), "001,M,SE,E00900,V06900,K00020");
    ASSERT_EQ(curve->pointCount(), 3);
    const auto& last = curve->curve().samples()[2];
    EXPECT_EQ(std::tuple(last.seconds, last.millivolt, last.milliampere, last.milliampereHours),
              std::tuple(6, 6900, 900, 20));

    // Trickle ends the process; the next charge is a new temporary series.
    poll(w->controller(), "001,M,SM");
    EXPECT_EQ(curve->pointCount(), 3) << "trickle values are not recorded";
    poll(w->controller(), "001,M,SA");
    later(3);
    charge(w->controller(), 5);
    EXPECT_EQ(curve->pointCount(), 1);
}

} // namespace
} // namespace velmara::test
