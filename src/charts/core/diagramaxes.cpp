#include "charts/core/diagramaxes.h"

namespace velmara {

void DiagramAxes::loadSeries(const MinMaxValues& minMax) {
    m_minMax = minMax;
    m_yAxis = voltageYAxis(minMax, m_yAxis);
    setCurveChecked(Curve::Voltage, true);
    setCurveChecked(Curve::Current, false);
    setCurveChecked(Curve::Capacity, false);
}

bool DiagramAxes::setCurveChecked(Curve c, bool checked) {
    bool& box = m_checked[size_t(c)];
    if (box == checked)
        return false;
    box = checked;
    refreshRanges();
    return true;
}

void DiagramAxes::refreshXYRanges(const AxisRange& yRange, const AxisRange& xRange) {
    m_yRange = yRange;
    m_xRange = xRange;
    refreshRanges();
}

void DiagramAxes::refreshRanges() {
    m_yAxis = refreshYRange(m_yRange, leftAxisCurves(m_checked), m_minMax, m_yAxis);
    m_secondYAxis = hasSecondYAxis(m_checked)
                        ? std::optional<YAxis>(velmara::secondYAxis(m_checked, m_minMax))
                        : std::nullopt;
    m_xAxis = refreshXRange(m_xRange);
}

} // namespace velmara
