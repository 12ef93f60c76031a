#include "charts/core/axisrules.h"

#include <algorithm>
#include <cmath>

namespace velmara {

qint32 curveMinimum(const MinMaxValues& m, Curve c) {
    switch (c) {
    case Curve::Voltage:
        return m.minVoltage;
    case Curve::Current:
        return m.minCurrent;
    case Curve::Capacity:
        return m.minCapacity;
    }
    return 0;
}

qint32 curveMaximum(const MinMaxValues& m, Curve c) {
    switch (c) {
    case Curve::Voltage:
        return m.maxVoltage;
    case Curve::Current:
        return m.maxCurrent;
    case Curve::Capacity:
        return m.maxCapacity;
    }
    return 0;
}

double axisMinimumFor(qint32 lowestThousandths) {
    return std::floor(double(lowestThousandths) / 1000.0);
}

double axisMaximumFor(qint32 highestThousandths) {
    return std::floor(double(highestThousandths) / 1000.0) + 1.0;
}

YAxis voltageYAxis(const MinMaxValues& m, const YAxis& previous) {
    YAxis axis = previous;
    axis.max = axisMaximumFor(m.maxVoltage);
    axis.min = axisMinimumFor(m.minVoltage);
    return axis;
}

int divisionsForSpan(int span) {
    switch (span) {
    case 1:
    case 5:
    case 10:
    case 25:
    case 50:
        return 5;
    case 2:
    case 4:
    case 8:
    case 14:
    case 16:
    case 20:
    case 22:
    case 26:
    case 28:
    case 32:
    case 34:
    case 36:
    case 38:
    case 40:
    case 42:
    case 44:
    case 46:
    case 48:
        return 4;
    case 3:
    case 6:
    case 9:
    case 12:
    case 15:
    case 18:
    case 24:
    case 30:
        return 6;
    case 7:
    case 35:
        return 7;
    case 21:
    case 27:
    case 33:
        return 3;
    default:
        return 5;
    }
}

namespace {
// Spans that divide badly: the axis grows by one unit instead.
bool isAwkwardSpan(double span) {
    for (int s : {11, 13, 17, 19, 23, 29, 31, 37, 39, 41, 43, 45, 47, 49})
        if (span == s)
            return true;
    return false;
}
} // namespace

YAxis adjustYDivisions(YAxis axis) {
    // Halves go to the even neighbour, as whole-number conversion does elsewhere.
    axis.max = std::nearbyint(axis.max);
    axis.min = std::nearbyint(axis.min);
    double span = axis.max - axis.min;
    if (isAwkwardSpan(span)) {
        axis.max += 1;
        span += 1;
    }
    axis.divisions = (span >= 1 && span <= 50) ? divisionsForSpan(int(span)) : 5;
    return axis;
}

YAxis refreshYRange(const AxisRange& range, const CurveSwitches& on, const MinMaxValues& m,
                    const YAxis& current) {
    if (!range.automatic) {
        YAxis axis = current;
        axis.max = range.dMaxValue;
        axis.min = range.dMinValue;
        return axis;
    }
    bool any = false;
    qint32 lo = 0, hi = 0;
    for (Curve c : kCurves) {
        if (!on[size_t(c)])
            continue;
        const qint32 cMin = curveMinimum(m, c), cMax = curveMaximum(m, c);
        if (!any) {
            lo = cMin;
            hi = cMax;
            any = true;
        } else {
            lo = std::min(lo, cMin);
            hi = std::max(hi, cMax);
        }
    }
    if (!any)
        return current;
    YAxis axis = current;
    axis.max = axisMaximumFor(hi);
    axis.min = axisMinimumFor(lo);
    return adjustYDivisions(axis);
}

XAxis refreshXRange(const AxisRange& range) {
    XAxis axis;
    axis.automatic = range.automatic;
    if (!range.automatic) {
        axis.min = range.dMinValue;
        axis.max = range.dMaxValue;
    }
    return axis;
}

bool hasSecondYAxis(const CurveSwitches& on) {
    return on[size_t(Curve::Voltage)] &&
           (on[size_t(Curve::Current)] || on[size_t(Curve::Capacity)]);
}

CurveSwitches leftAxisCurves(const CurveSwitches& on) {
    return hasSecondYAxis(on) ? CurveSwitches{true, false, false} : on;
}

YAxis secondYAxis(const CurveSwitches& on, const MinMaxValues& m) {
    CurveSwitches right = on;
    right[size_t(Curve::Voltage)] = false;
    return refreshYRange(AxisRange{}, right, m, YAxis{});
}

} // namespace velmara
