#pragma once
// The diagram's axes: the shared Y axis of the three curves with its number of
// major divisions, and the X axis in minutes.
#include "charts/core/axisrange.h"
#include "charts/core/minmaxvalues.h"

#include <array>

namespace velmara {

enum class Curve { Voltage = 0, Current = 1, Capacity = 2 };
constexpr std::array<Curve, 3> kCurves = {Curve::Voltage, Curve::Current, Curve::Capacity};

// Which curves are switched on, by Curve index.
using CurveSwitches = std::array<bool, 3>;

struct YAxis {
    double min = 0;
    double max = 1;
    int divisions = 5; // major divisions

    bool operator==(const YAxis&) const = default;
};

struct XAxis {
    bool automatic = true; // the chart fits the axis to the data itself
    double min = 0;        // minutes, when not automatic
    double max = 0;

    bool operator==(const XAxis&) const = default;
};

// Lowest and highest stored value of one curve (thousandths).
qint32 curveMinimum(const MinMaxValues& m, Curve c);
qint32 curveMaximum(const MinMaxValues& m, Curve c);

// Whole units around stored thousandths: floor(lo / 1000) and floor(hi / 1000) + 1.
double axisMinimumFor(qint32 lowestThousandths);
double axisMaximumFor(qint32 highestThousandths);

// The Y axis after a load: from the voltage values alone, divisions kept.
YAxis voltageYAxis(const MinMaxValues& m, const YAxis& previous);

// The number of major divisions for a whole-number span (after any raise).
int divisionsForSpan(int span);

// Rounds both ends to whole numbers; an awkward span (11, 13, 17, ...) raises the
// maximum by one; then picks the divisions for the span.
YAxis adjustYDivisions(YAxis axis);

// A manual range is taken as it stands (divisions kept). Automatic: the range over
// the switched-on curves with divisions by adjustYDivisions; with no curve on, the
// axis stays as it was.
YAxis refreshYRange(const AxisRange& range, const CurveSwitches& on, const MinMaxValues& m,
                    const YAxis& current);

// The second Y axis (right): with the voltage curve on, the current and capacity
// curves that are on get an automatic axis of their own, because on the volt axis
// they would lie flat; the left axis then follows the voltage alone. Without the
// voltage curve, or with neither of the two on, there is none (one axis as before).
bool hasSecondYAxis(const CurveSwitches& on);
YAxis secondYAxis(const CurveSwitches& on, const MinMaxValues& m);
// The curves the left axis is computed over.
CurveSwitches leftAxisCurves(const CurveSwitches& on);

// Automatic: the chart scales itself; manual: the range's minimum and maximum.
XAxis refreshXRange(const AxisRange& range);

} // namespace velmara
