// Thinning by the DiagramPoints rows, the plotted points with their minima and
// maxima, and the zoomed-in stretch drawn from every stored value.
#include "charts/core/plotdata.h"
#include "charts/core/thinning.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace velmara;

namespace {

const QVector<DiagramPointsRow> kRows = {{1, 100, 1}, {2, 1000, 2}, {3, 5000, 5}};

// Value i (0-based) at minute i, voltage 1000 + i mV, current 2 * i, capacity 3 * i.
std::vector<SeriesSample> ramp(int n) {
    std::vector<SeriesSample> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        v[size_t(i)] = SeriesSample{i * 60, 1000 + i, 2 * i, 3 * i};
    return v;
}

TEST(ThinningTest, StepAndPointsFollowTheRows) {
    const struct {
        int n;
        qint64 step, points;
        double lastMinute; // of the last plotted point
    } cases[] = {
        {5, 1, 5, 4},          {50, 1, 50, 49},
        {100, 1, 100, 99},     {101, 2, 50, 98}, // 50.5 rounds to the even 50
        {999, 2, 500, 998},                      // 499.5 rounds to the even 500
        {1000, 2, 500, 998},   {5000, 5, 1000, 4995},
        {7000, 5, 1400, 6995}, // beyond every threshold: the last row
    };
    for (const auto& c : cases) {
        const auto values = ramp(c.n);
        const qint64 k = plottingStep(kRows, c.n);
        EXPECT_EQ(k, c.step) << c.n;
        const PlotData plot = thinnedPlot(values, k);
        for (Curve curve : kCurves)
            ASSERT_EQ(plot.curve(curve).x.size(), c.points) << c.n;
        EXPECT_DOUBLE_EQ(plot.curve(Curve::Voltage).x.last(), c.lastMinute) << c.n;
    }
}

TEST(ThinningTest, MissingOrBrokenRowsPlotEveryValue) {
    EXPECT_EQ(plottingStep({}, 1000000), 1);
    EXPECT_EQ(plottingStep({{1, 10, 0}}, 5), 1);
    EXPECT_EQ(plottingStep({{1, 10, -4}}, 50), 1);
    EXPECT_EQ(plottedPointCount(10, 0), 10);
}

TEST(ThinningTest, RowsAreWalkedInTheGivenOrder) {
    // The first row whose threshold is reached wins, even when a later one is smaller.
    const QVector<DiagramPointsRow> rows = {{1, 500, 3}, {2, 100, 7}};
    EXPECT_EQ(plottingStep(rows, 50), 3);
    EXPECT_EQ(plottingStep(rows, 501), 7);
}

TEST(PlotDataTest, CurvesCarryUnitsAndMinMaxCoverPlottedPointsOnly) {
    std::vector<SeriesSample> v = {{0, 7140, 1500, 1250},
                                   {30, 9000, -200, 0}, // the second is skipped with step 2
                                   {90, 7000, 1400, 1300},
                                   {120, 7200, 1450, 1400},
                                   {150, 7300, 1460, 1500}};
    const PlotData plot = thinnedPlot(v, 2);
    const auto& u = plot.curve(Curve::Voltage);
    ASSERT_EQ(u.x.size(), 2); // 5 / 2 = 2.5 rounds to 2
    EXPECT_DOUBLE_EQ(u.x[0], 0.0);
    EXPECT_DOUBLE_EQ(u.x[1], 1.5);
    EXPECT_DOUBLE_EQ(u.y[0], 7.14);
    EXPECT_DOUBLE_EQ(u.y[1], 7.0);
    EXPECT_DOUBLE_EQ(plot.curve(Curve::Current).y[1], 1.4);
    EXPECT_DOUBLE_EQ(plot.curve(Curve::Capacity).y[0], 1.25);
    MinMaxValues expected{7000, 7140, 1400, 1500, 1250, 1300};
    EXPECT_EQ(plot.minMax, expected);
}

TEST(PlotDataTest, ZoomedStretchKeepsEveryValueUpToTheBudget) {
    const auto values = ramp(1000);
    const PlotData plot = visibleStretch(values, 100, 110, 1000);
    const auto& u = plot.curve(Curve::Voltage);
    // Minutes 100..110 plus one neighbour on each side.
    ASSERT_EQ(u.x.size(), 13);
    EXPECT_DOUBLE_EQ(u.x.first(), 99);
    EXPECT_DOUBLE_EQ(u.x.last(), 111);
    EXPECT_DOUBLE_EQ(u.y[1], 1.1);
}

TEST(PlotDataTest, ZoomedStretchKeepsPeaksWhenItMustThin) {
    auto values = ramp(100000);
    values[54321].millivolt = 200000; // one spike that a plain stride would miss
    values[54322].milliampere = -7777;
    const PlotData plot = visibleStretch(values, 0, 1e9, 1000);
    for (Curve c : kCurves)
        EXPECT_LE(plot.curve(c).x.size(), 1000);
    const auto& u = plot.curve(Curve::Voltage);
    EXPECT_TRUE(std::find(u.y.begin(), u.y.end(), 200.0) != u.y.end());
    const auto& i = plot.curve(Curve::Current);
    EXPECT_TRUE(std::find(i.y.begin(), i.y.end(), -7.777) != i.y.end());
    // Times stay in order, first and last values are kept.
    EXPECT_TRUE(std::is_sorted(u.x.begin(), u.x.end()));
    EXPECT_DOUBLE_EQ(u.x.first(), 0);
    EXPECT_DOUBLE_EQ(u.y.last(), 100.999);
    EXPECT_EQ(plot.minMax.maxVoltage, 200000);
    EXPECT_EQ(plot.minMax.minCurrent, -7777);
}

TEST(PlotDataTest, ZoomBetweenTwoValuesStillDrawsTheLineAcross) {
    const auto values = ramp(10);
    const PlotData plot = visibleStretch(values, 3.2, 3.8, 1000);
    const auto& u = plot.curve(Curve::Voltage);
    ASSERT_EQ(u.x.size(), 2);
    EXPECT_DOUBLE_EQ(u.x[0], 3);
    EXPECT_DOUBLE_EQ(u.x[1], 4);
    EXPECT_TRUE(visibleStretch({}, 0, 1, 10).curve(Curve::Voltage).x.isEmpty());
}

} // namespace
