#pragma once
// The live curve of a channel window: voltage, current and capacity of the
// running process over minutes, in the colours of the diagram window. Values are
// appended as they arrive; the chart redraws once per event-loop turn.
#include "charts/core/livecurve.h"

#include <qcustomplot.h>

namespace velmara {

class LiveCurveChart : public QCustomPlot {
    Q_OBJECT
public:
    explicit LiveCurveChart(QWidget* parent = nullptr);

    // Adds a value of temporary series seriesId (a new id starts the curve anew).
    void addValue(qint32 seriesId, const SeriesSample& sample);
    void clearCurve();
    const LiveCurve& curve() const { return m_curve; }
    int pointCount() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitAxes();

    LiveCurve m_curve;
    std::array<QCPGraph*, 3> m_graphs{};
};

} // namespace velmara
