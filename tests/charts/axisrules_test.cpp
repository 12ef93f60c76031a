// The diagram's axes: divisions by span, the automatic Y range over the checked
// curves, manual ranges, and what a reused window keeps.
#include "charts/core/diagramaxes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmara;

namespace {

MinMaxValues voltageBetween(qint32 lo, qint32 hi) {
    MinMaxValues m;
    m.seed(lo, 0, 0);
    m.checkVoltage(hi);
    return m;
}

AxisRange manual(double min, double max) {
    return AxisRange{false, min, max};
}

// Whole spans get the divisions of the span table; spans that divide badly grow by one
// first and take the divisions of the next span.
TEST(AxisRulesTest, DivisionsFollowTheSpanAndAwkwardSpansGrowByOne) {
    const struct {
        int divisions;
        std::vector<int> kept, grown;
    } table[] = {
        {5, {1, 5, 10, 25, 50, 0, -3, 51, 120}, {49}},
        {4, {2, 4, 8, 16, 22, 26, 28, 34, 36}, {13, 19, 31, 37, 39, 41, 43, 45, 47}},
        {6, {3, 6, 9, 12, 15}, {11, 17, 23, 29}},
        {7, {7, 35}, {}},
        {3, {21, 27, 33}, {}},
    };
    const auto adjusted = [](int span) { return adjustYDivisions(YAxis{0, double(span), 1}); };
    for (const auto& row : table) {
        for (int span : row.kept)
            EXPECT_EQ(adjusted(span), (YAxis{0, double(span), row.divisions})) << span;
        for (int span : row.grown)
            EXPECT_EQ(adjusted(span), (YAxis{0, double(span + 1), row.divisions})) << span;
    }
}

TEST(AxisRulesTest, AutomaticVoltageAxisExamples) {
    const struct {
        qint32 lo, hi;
        double min, max;
        int divisions;
    } cases[] = {
        {1210, 1450, 1, 2, 5},    // span 1
        {6200, 17400, 6, 18, 6},  // span 12
        {1100, 12300, 1, 13, 6},  // span 12
        {200, 11900, 0, 12, 6},   // span 12
        {500, 10900, 0, 12, 6},   // span 11 grows to 12
        {-1500, 2000, -2, 3, 5},  // a negative minimum rounds down
        {-1000, -1000, -1, 0, 5}, // exact thousands
        {2000, 2000, 2, 3, 5},
    };
    const CurveSwitches voltageOnly = {true, false, false};
    for (const auto& c : cases) {
        const YAxis axis =
            refreshYRange(AxisRange{}, voltageOnly, voltageBetween(c.lo, c.hi), YAxis{0, 1, 9});
        EXPECT_EQ(axis, (YAxis{c.min, c.max, c.divisions})) << c.lo << ".." << c.hi;
    }
}

TEST(AxisRulesTest, AutomaticRangeSpansTheCheckedCurvesOnly) {
    MinMaxValues m;
    m.seed(6000, 1500, 200);
    m.checkVoltage(8400);
    m.checkCurrent(-2500); // discharge current
    m.checkCapacity(2600);
    const YAxis start{0, 1, 9};
    EXPECT_EQ(refreshYRange({}, {true, false, false}, m, start), (YAxis{6, 9, 6}));
    EXPECT_EQ(refreshYRange({}, {false, true, false}, m, start), (YAxis{-3, 2, 5}));
    EXPECT_EQ(refreshYRange({}, {false, false, true}, m, start), (YAxis{0, 3, 6}));
    EXPECT_EQ(refreshYRange({}, {true, true, true}, m, start), (YAxis{-3, 9, 6}));
    // Nothing checked: the axis stays as it was.
    EXPECT_EQ(refreshYRange({}, {false, false, false}, m, start), start);
    // A manual range is taken as it stands and keeps the divisions.
    EXPECT_EQ(refreshYRange(manual(-2, 2), {true, false, false}, m, start), (YAxis{-2, 2, 9}));
}

TEST(DiagramAxesTest, FreshWindowComputesBothAxesWhenVoltageGetsChecked) {
    DiagramAxes axes;
    axes.loadSeries(voltageBetween(500, 10900));
    EXPECT_EQ(axes.checked(), (CurveSwitches{true, false, false}));
    EXPECT_EQ(axes.yAxis(), (YAxis{0, 12, 6}));
    EXPECT_TRUE(axes.xAxis().automatic);
    // A manual X range with an automatic Y axis: X fixed, Y over the checked curves.
    axes.setCurveChecked(Curve::Current, true);
    axes.refreshXYRanges(AxisRange{}, manual(0, 30));
    EXPECT_EQ(axes.xAxis(), (XAxis{false, 0, 30}));
    EXPECT_EQ(axes.yAxis(), (YAxis{0, 12, 6}));
}

TEST(DiagramAxesTest, UncheckingAllCurvesLeavesTheYAxis) {
    MinMaxValues m = voltageBetween(6200, 17400);
    m.checkCurrent(30000);
    DiagramAxes axes;
    axes.loadSeries(m);
    // Beside the voltage the current gets the right axis; the left stays on the volts.
    EXPECT_TRUE(axes.setCurveChecked(Curve::Current, true));
    EXPECT_EQ(axes.yAxis(), (YAxis{6, 18, 6}));
    EXPECT_EQ(axes.secondYAxis(), (YAxis{0, 32, 4})); // 0..31 grows to 32
    // Alone, the current has the one axis again.
    EXPECT_TRUE(axes.setCurveChecked(Curve::Voltage, false));
    EXPECT_EQ(axes.yAxis(), (YAxis{0, 32, 4}));
    EXPECT_EQ(axes.secondYAxis(), std::nullopt);
    EXPECT_TRUE(axes.setCurveChecked(Curve::Current, false));
    EXPECT_EQ(axes.checked(), (CurveSwitches{false, false, false}));
    EXPECT_EQ(axes.yAxis(), (YAxis{0, 32, 4}));
    // Setting a box to what it already is changes nothing.
    EXPECT_FALSE(axes.setCurveChecked(Curve::Capacity, false));
}

TEST(DiagramAxesTest, ReusedWindowShowsTheNewVoltageRangeDespiteAManualYRange) {
    DiagramAxes axes;
    axes.loadSeries(voltageBetween(1210, 1450));
    axes.refreshXYRanges(manual(-2, 2), manual(0, 30));
    EXPECT_EQ(axes.yAxis(), (YAxis{-2, 2, 5}));
    EXPECT_EQ(axes.xAxis(), (XAxis{false, 0, 30}));

    // The boxes already stand at voltage only: nothing is recomputed, the Y axis
    // follows the new voltage values with the previous divisions.
    axes.loadSeries(voltageBetween(6200, 17400));
    EXPECT_EQ(axes.yAxis(), (YAxis{6, 18, 5}));
    EXPECT_EQ(axes.xAxis(), (XAxis{false, 0, 30}));
    EXPECT_EQ(axes.yRange(), manual(-2, 2));

    // The next change of a box brings the manual range back.
    axes.setCurveChecked(Curve::Current, true);
    EXPECT_EQ(axes.yAxis(), (YAxis{-2, 2, 5}));
}

TEST(DiagramAxesTest, ReusedWindowWithOtherBoxesRecomputesOnLoad) {
    DiagramAxes axes;
    axes.loadSeries(voltageBetween(1210, 1450));
    axes.setCurveChecked(Curve::Capacity, true);
    axes.refreshXYRanges(manual(-2, 2), AxisRange{});
    MinMaxValues next = voltageBetween(6200, 17400);
    axes.loadSeries(next); // capacity goes off: the manual Y range applies again
    EXPECT_EQ(axes.checked(), (CurveSwitches{true, false, false}));
    EXPECT_EQ(axes.yAxis().min, -2);
    EXPECT_EQ(axes.yAxis().max, 2);
    // Back to automatic through the options: the voltage range with its divisions.
    axes.refreshXYRanges(AxisRange{}, AxisRange{});
    EXPECT_EQ(axes.yAxis(), (YAxis{6, 18, 6}));
}

} // namespace
