// The diagram's rules without widgets: axes, thinning by the DiagramPoints rows,
// the zoomed-in stretch and the options form.
#include "charts/core/diagramaxes.h"
#include "charts/core/diagramoptions.h"
#include "charts/core/plotdata.h"
#include "charts/core/thinning.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    // A negative minimum rounds down; exact thousands stay.
    const CurveSwitches volts = {true, false, false};
    EXPECT_EQ(refreshYRange({}, volts, voltageBetween(-1500, 2000), start), (YAxis{-2, 3, 5}));
    EXPECT_EQ(refreshYRange({}, volts, voltageBetween(-1000, -1000), start), (YAxis{-1, 0, 5}));
    // Nothing checked: the axis stays as it was.
    EXPECT_EQ(refreshYRange({}, {false, false, false}, m, start), start);
    // A manual range is taken as it stands and keeps the divisions.
    EXPECT_EQ(refreshYRange(manual(-2, 2), {true, false, false}, m, start), (YAxis{-2, 2, 9}));
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

// --- thinning

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

// Missing or broken rows plot every value; the first row whose threshold is
// reached wins, even when a later one is smaller.
TEST(ThinningTest, RowsAreWalkedInTheGivenOrder) {
    const QVector<DiagramPointsRow> ordered = {{1, 500, 3}, {2, 100, 7}};
    const struct {
        QVector<DiagramPointsRow> rows;
        qint64 n, step;
    } cases[] = {{{}, 1000000, 1},
                 {{{1, 10, 0}}, 5, 1},
                 {{{1, 10, -4}}, 50, 1},
                 {ordered, 50, 3},
                 {ordered, 501, 7}};
    for (const auto& c : cases)
        EXPECT_EQ(plottingStep(c.rows, c.n), c.step) << c.n;
    EXPECT_EQ(plottedPointCount(10, 0), 10);
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

// --- the options form

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

// A form with typed X and Y ranges; nullptr leaves the axis automatic.
DiagramOptionsForm form(const char* xFrom, const char* xTo, const char* yFrom = nullptr,
                        const char* yTo = nullptr) {
    DiagramOptionsForm f;
    f.xAutomatic = !xFrom;
    f.yAutomatic = !yFrom;
    f.xFrom = xFrom;
    f.xTo = xTo;
    f.yFrom = yFrom;
    f.yTo = yTo;
    return f;
}

TEST(DiagramOptionsTest, ValidationGivesKeyAndFocus) {
    const struct {
        DiagramOptionsForm form;
        const char* key; // "" when valid
        OptionsField focus;
    } cases[] = {
        {DiagramOptionsForm{}, "", OptionsField::None},
        {form("10", "10"), "2160", OptionsField::XTo},
        {form("10", "5"), "2160", OptionsField::XTo},
        {form("-5", "30"), "2166", OptionsField::XFrom},
        {form("  ", "30"), "2164", OptionsField::XFrom},
        {form("-", "3"), "2164", OptionsField::XFrom}, // no number at all
        {form(nullptr, nullptr, "", "2"), "2164", OptionsField::YFrom},
        {form(nullptr, nullptr, "2", "2"), "2162", OptionsField::YTo},
        // X is checked before Y.
        {form("5", "1", "", ""), "2160", OptionsField::XTo},
        {form("5", "9", "", ""), "2164", OptionsField::YFrom},
    };
    for (const auto& c : cases) {
        const OptionsCheck check = validateOptions(c.form, kEnglish);
        EXPECT_EQ(check.textKey, QString::fromLatin1(c.key))
            << c.form.xFrom.toStdString() << "|" << c.form.yFrom.toStdString();
        EXPECT_EQ(check.focus, c.focus) << c.key;
    }
}

TEST(DiagramOptionsTest, NumbersAreReadInTheUsersLocale) {
    const DiagramOptionsForm f = form("0,5", "12,25", "-1,5", "2,");
    ASSERT_TRUE(validateOptions(f, kGerman).ok());
    const OptionsResult r = optionsRanges(f, kGerman);
    EXPECT_EQ(r.xRange, (AxisRange{false, 0.5, 12.25}));
    EXPECT_EQ(r.yRange, (AxisRange{false, -1.5, 2}));
    // Automatic axes come back automatic.
    EXPECT_EQ(optionsRanges(DiagramOptionsForm{}, kGerman).xRange, AxisRange{});
}

} // namespace
