#pragma once
// The chart of the diagram window: three curves on one Y axis over minutes, the
// minimum/maximum lines of each curve, grids, the axes the rules compute, and
// the extras: wheel zoom and drag on the X axis (the visible stretch is drawn
// from every stored value), a reset view, a read-out at the pointer, PNG and PDF.
#include "charts/core/axisrules.h"
#include "charts/core/diagramsettings.h"
#include "charts/core/plotdata.h"

#include <qcustomplot.h>

#include <optional>
#include <vector>

namespace velmara {

class DiagramChart : public QCustomPlot {
    Q_OBJECT
public:
    static QColor colorOf(Curve c);

    explicit DiagramChart(QWidget* parent = nullptr);

    // A new series: every stored value (for zooming and the read-out) and the
    // thinned points shown in the full view.
    void setSeries(std::vector<SeriesSample> values, PlotData thinned);
    void setCurveVisible(Curve c, bool visible);
    bool isCurveVisible(Curve c) const;
    void applySwitches(const DiagramSwitches& switches); // min/max lines and grids
    // y2: the right axis of current and capacity beside the voltage, or none.
    void applyAxes(const YAxis& y, const XAxis& x, const std::optional<YAxis>& y2 = {});
    // The legend's names of the curves ("Spannung" ...); the unit is added.
    void setCurveNames(const QString& voltage, const QString& current, const QString& capacity);
    // A title above the chart, for saved pictures (empty: none).
    void setTitle(const QString& title);
    QString title() const;

    // Back to the axes of the last applyAxes and the thinned points.
    void resetView();
    bool isZoomed() const { return m_zoomed; }
    // The read-out for a time in minutes: the stored value nearest to it.
    QString readoutAt(double minutes) const;
    bool saveChartPng(const QString& path);
    bool saveChartPdf(const QString& path);

    QCPGraph* graphOf(Curve c) const { return m_graphs[size_t(c)]; }
    QCPItemStraightLine* minLineOf(Curve c) const { return m_minLines[size_t(c)]; }
    QCPItemStraightLine* maxLineOf(Curve c) const { return m_maxLines[size_t(c)]; }
    int plottedPoints(Curve c) const { return graphOf(c)->dataCount(); }

Q_SIGNALS:
    void readoutChanged(const QString& text);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void showPoints(const PlotData& data);
    void placeMinMaxLines();
    void onUserRangeChange(const QCPRange& range);
    void fitXToData();

    std::vector<SeriesSample> m_values;
    PlotData m_thinned;
    DiagramSwitches m_switches;
    void applyAxis(QCPAxis* axis, const YAxis& y);
    void updateLegend();

    YAxis m_y;
    XAxis m_x;
    std::optional<YAxis> m_y2;
    QCPTextElement* m_title = nullptr;
    bool m_zoomed = false;
    bool m_settingRange = false;
    std::array<QCPGraph*, 3> m_graphs{};
    std::array<QCPItemStraightLine*, 3> m_minLines{};
    std::array<QCPItemStraightLine*, 3> m_maxLines{};
};

} // namespace velmara
