#pragma once
// The axis state of one open diagram window: its two ranges, the curve check
// boxes, the minima and maxima of the plotted points and the axes they give.
// The window binds its controls to this; it lives as long as the window, so a
// reused window keeps ranges and boxes while a new series is loaded.
#include "charts/core/axisrules.h"

#include <optional>

namespace velmara {

class DiagramAxes {
public:
    // A newly loaded series: the Y axis follows the voltage values alone (whatever
    // the boxes and the Y range say, divisions kept); then the boxes are set to
    // voltage only, and only boxes that actually change recompute the ranges.
    void loadSeries(const MinMaxValues& minMax);

    // A check box: only a change shows or hides its curve and recomputes both axes.
    // Returns true when something changed.
    bool setCurveChecked(Curve c, bool checked);

    // New ranges from the options dialog; both axes are recomputed.
    void refreshXYRanges(const AxisRange& yRange, const AxisRange& xRange);
    // Y first, then X.
    void refreshRanges();

    const CurveSwitches& checked() const { return m_checked; }
    bool isChecked(Curve c) const { return m_checked[size_t(c)]; }
    const AxisRange& xRange() const { return m_xRange; }
    const AxisRange& yRange() const { return m_yRange; }
    const MinMaxValues& minMax() const { return m_minMax; }
    const YAxis& yAxis() const { return m_yAxis; }
    const XAxis& xAxis() const { return m_xAxis; }
    // The right axis of current and capacity beside the voltage (hasSecondYAxis).
    const std::optional<YAxis>& secondYAxis() const { return m_secondYAxis; }

private:
    CurveSwitches m_checked = {false, false, false}; // a new window starts with no box checked
    AxisRange m_xRange;
    AxisRange m_yRange;
    MinMaxValues m_minMax;
    YAxis m_yAxis;
    XAxis m_xAxis;
    std::optional<YAxis> m_secondYAxis;
};

} // namespace velmara
