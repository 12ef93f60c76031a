#include "charts/ui/livecurvechart.h"

#include "charts/ui/diagramchart.h"

namespace velmara {

LiveCurveChart::LiveCurveChart(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("chartLive"));
    setNoAntialiasingOnDrag(true);
    setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    for (Curve c : kCurves) {
        QCPGraph* g = addGraph();
        g->setPen(QPen(DiagramChart::colorOf(c), 1));
        g->setAdaptiveSampling(true);
        m_graphs[size_t(c)] = g;
    }
    xAxis->setLabel(QStringLiteral("min"));
    xAxis->grid()->setPen(QPen(QColor(180, 180, 180), 0, Qt::DotLine));
    yAxis->grid()->setPen(QPen(QColor(180, 180, 180), 0, Qt::DotLine));
    fitAxes();
}

void LiveCurveChart::addValue(qint32 seriesId, const SeriesSample& sample) {
    if (m_curve.add(seriesId, sample))
        for (QCPGraph* g : m_graphs)
            g->data()->clear();
    const double minutes = sample.seconds / 60.0;
    // Values arrive in time order, so each is appended at the end of its curve.
    m_graphs[size_t(Curve::Voltage)]->addData(minutes, sample.millivolt / 1000.0);
    m_graphs[size_t(Curve::Current)]->addData(minutes, sample.milliampere / 1000.0);
    m_graphs[size_t(Curve::Capacity)]->addData(minutes, sample.milliampereHours / 1000.0);
    fitAxes();
    // A collapsed pane only keeps the values; it draws them when it opens.
    if (isVisible())
        replot(QCustomPlot::rpQueuedReplot);
}

void LiveCurveChart::showEvent(QShowEvent* event) {
    QCustomPlot::showEvent(event);
    replot(QCustomPlot::rpQueuedReplot);
}

void LiveCurveChart::clearCurve() {
    m_curve.clear();
    for (QCPGraph* g : m_graphs)
        g->data()->clear();
    fitAxes();
    replot(QCustomPlot::rpQueuedReplot);
}

int LiveCurveChart::pointCount() const {
    return m_graphs[0]->dataCount();
}

void LiveCurveChart::fitAxes() {
    const double last = m_curve.lastSeconds() / 60.0;
    xAxis->setRange(0, std::max(1.0, last * 1.05));
    const double low = std::min(0.0, m_curve.lowest() / 1000.0);
    const double high = std::max(1.0, m_curve.highest() / 1000.0);
    yAxis->setRange(low, high * 1.1);
}

} // namespace velmara
