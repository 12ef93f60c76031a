#include "charts/ui/diagramchart.h"

#include "base/core/formatting.h"

#include <QPdfWriter>

#include <algorithm>

namespace velmara {

namespace {

// The curves are drawn three times as wide as their minimum/maximum lines.
constexpr int kCurveWidth = 3;
constexpr int kStatLineWidth = 1;
// Points per curve when the visible stretch is drawn from every stored value.
constexpr int kZoomPoints = 2000;

QCPAxisTickerFixed* fixedTicker(QCPAxis* axis) {
    return dynamic_cast<QCPAxisTickerFixed*>(axis->ticker().data());
}

} // namespace

QColor DiagramChart::colorOf(Curve c) {
    switch (c) {
    case Curve::Voltage:
        return QColor(255, 0, 0);
    case Curve::Current:
        return QColor(0, 255, 0);
    case Curve::Capacity:
        return QColor(0, 0, 255);
    }
    return Qt::black;
}

DiagramChart::DiagramChart(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("auswertungsChart"));
    for (Curve c : kCurves) {
        QCPGraph* g = addGraph();
        g->setPen(QPen(colorOf(c), kCurveWidth, Qt::SolidLine));
        g->setLineStyle(QCPGraph::lsLine);
        g->setScatterStyle(QCPScatterStyle::ssNone);
        g->setAdaptiveSampling(true);
        m_graphs[size_t(c)] = g;
        for (auto* lines : {&m_minLines, &m_maxLines}) {
            auto* line = new QCPItemStraightLine(this);
            line->setPen(QPen(colorOf(c), kStatLineWidth, Qt::DotLine));
            line->setClipToAxisRect(true);
            (*lines)[size_t(c)] = line;
        }
    }
    // Current and capacity start hidden.
    m_graphs[size_t(Curve::Current)]->setVisible(false);
    m_graphs[size_t(Curve::Capacity)]->setVisible(false);

    xAxis->setLabel(QStringLiteral("min"));
    for (QCPAxis* axis : {yAxis, yAxis2}) {
        QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
        ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
        axis->setTicker(ticker);
    }
    for (QCPAxis* axis : {xAxis, yAxis})
        axis->grid()->setPen(QPen(QColor(140, 140, 140), 0, Qt::DotLine));
    setCurveNames(QStringLiteral("U"), QStringLiteral("I"), QStringLiteral("C"));
    legend->setVisible(true);
    legend->setBrush(QColor(255, 255, 255, 220));
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignLeft);

    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    axisRect()->setRangeDrag(Qt::Horizontal);
    axisRect()->setRangeZoom(Qt::Horizontal);
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &DiagramChart::onUserRangeChange);
    setMouseTracking(true);
}

void DiagramChart::setSeries(std::vector<SeriesSample> values, PlotData thinned) {
    m_values = std::move(values);
    m_thinned = std::move(thinned);
    m_zoomed = false;
    showPoints(m_thinned);
    placeMinMaxLines();
}

void DiagramChart::showPoints(const PlotData& data) {
    for (Curve c : kCurves) {
        const CurvePoints& p = data.curve(c);
        m_graphs[size_t(c)]->setData(p.x, p.y, true);
    }
}

void DiagramChart::placeMinMaxLines() {
    for (Curve c : kCurves) {
        const double lo = curveMinimum(m_thinned.minMax, c) / 1000.0;
        const double hi = curveMaximum(m_thinned.minMax, c) / 1000.0;
        m_minLines[size_t(c)]->point1->setCoords(0, lo);
        m_minLines[size_t(c)]->point2->setCoords(1, lo);
        m_maxLines[size_t(c)]->point1->setCoords(0, hi);
        m_maxLines[size_t(c)]->point2->setCoords(1, hi);
    }
    applySwitches(m_switches);
}

void DiagramChart::setCurveVisible(Curve c, bool visible) {
    m_graphs[size_t(c)]->setVisible(visible);
    updateLegend();
    applySwitches(m_switches);
}

void DiagramChart::setCurveNames(const QString& voltage, const QString& current,
                                 const QString& capacity) {
    m_graphs[size_t(Curve::Voltage)]->setName(voltage + QStringLiteral(" (V)"));
    m_graphs[size_t(Curve::Current)]->setName(current + QStringLiteral(" (A)"));
    m_graphs[size_t(Curve::Capacity)]->setName(capacity + QStringLiteral(" (Ah)"));
    updateLegend();
}

// The legend lists the curves shown, with their units.
void DiagramChart::updateLegend() {
    for (QCPGraph* g : m_graphs) {
        if (g->visible())
            g->addToLegend();
        else
            g->removeFromLegend();
    }
}

void DiagramChart::setTitle(const QString& title) {
    if (title.isEmpty()) {
        if (m_title) {
            plotLayout()->remove(m_title);
            plotLayout()->simplify();
            m_title = nullptr;
        }
        return;
    }
    if (!m_title) {
        plotLayout()->insertRow(0);
        QFont font = this->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.3);
        m_title = new QCPTextElement(this, title, font);
        plotLayout()->addElement(0, 0, m_title);
    }
    m_title->setText(title);
}

QString DiagramChart::title() const {
    return m_title ? m_title->text() : QString();
}

bool DiagramChart::isCurveVisible(Curve c) const {
    return m_graphs[size_t(c)]->visible();
}

void DiagramChart::applySwitches(const DiagramSwitches& switches) {
    m_switches = switches;
    const bool lines[3] = {switches.minMaxVoltage, switches.minMaxCurrent, switches.minMaxCapacity};
    for (Curve c : kCurves) {
        // The lines belong to their curve: a hidden curve shows none.
        const bool on = lines[size_t(c)] && isCurveVisible(c) && !m_values.empty();
        m_minLines[size_t(c)]->setVisible(on);
        m_maxLines[size_t(c)]->setVisible(on);
    }
    xAxis->grid()->setVisible(switches.xGrid);
    yAxis->grid()->setVisible(switches.yGrid);
    replot(QCustomPlot::rpQueuedReplot);
}

void DiagramChart::applyAxis(QCPAxis* axis, const YAxis& y) {
    axis->setRange(y.min, y.max);
    if (auto* ticker = fixedTicker(axis)) {
        const double span = y.max - y.min;
        const int divisions = y.divisions > 0 ? y.divisions : 5;
        ticker->setTickStep(span > 0 ? span / divisions : 1.0);
        ticker->setTickOrigin(y.min);
    }
}

void DiagramChart::applyAxes(const YAxis& y, const XAxis& x, const std::optional<YAxis>& y2) {
    m_y = y;
    m_x = x;
    m_y2 = y2;
    m_settingRange = true;
    if (m_zoomed) {
        m_zoomed = false;
        showPoints(m_thinned);
    }
    applyAxis(yAxis, y);
    // Current and capacity move to the right axis beside the voltage.
    QCPAxis* side = y2 ? yAxis2 : yAxis;
    yAxis2->setVisible(bool(y2));
    if (y2)
        applyAxis(yAxis2, *y2);
    // Each axis names the units of the curves it carries.
    static const char* const units[] = {"V", "A", "Ah"};
    QStringList left, right;
    for (Curve c : kCurves)
        if (isCurveVisible(c))
            (y2 && c != Curve::Voltage ? right : left) << QLatin1String(units[size_t(c)]);
    yAxis->setLabel(left.join(QStringLiteral(" / ")));
    yAxis2->setLabel(right.join(QStringLiteral(" / ")));
    for (Curve c : {Curve::Current, Curve::Capacity}) {
        m_graphs[size_t(c)]->setValueAxis(side);
        for (auto* line : {m_minLines[size_t(c)], m_maxLines[size_t(c)]})
            for (auto* p : {line->point1, line->point2})
                p->setAxes(xAxis, side);
    }
    if (x.automatic)
        fitXToData();
    else
        xAxis->setRange(x.min, x.max);
    m_settingRange = false;
    replot(QCustomPlot::rpQueuedReplot);
}

void DiagramChart::fitXToData() {
    bool any = false;
    QCPRange range;
    for (Curve c : kCurves) {
        if (!isCurveVisible(c))
            continue;
        bool found = false;
        const QCPRange r = m_graphs[size_t(c)]->getKeyRange(found);
        if (!found)
            continue;
        range = any ? QCPRange(std::min(range.lower, r.lower), std::max(range.upper, r.upper)) : r;
        any = true;
    }
    if (!any)
        return; // nothing to fit: the axis stays as it was
    if (range.size() <= 0)
        range = QCPRange(range.lower - 0.5, range.upper + 0.5);
    xAxis->setRange(range);
}

void DiagramChart::resetView() {
    applyAxes(m_y, m_x, m_y2);
}

void DiagramChart::onUserRangeChange(const QCPRange& range) {
    if (m_settingRange || m_values.empty())
        return;
    m_zoomed = true;
    showPoints(visibleStretch(m_values, range.lower, range.upper, kZoomPoints));
}

QString DiagramChart::readoutAt(double minutes) const {
    if (m_values.empty())
        return QString();
    // Times rise with the rows: the nearest stored value by a binary search.
    const double seconds = minutes * 60.0;
    auto it =
        std::lower_bound(m_values.begin(), m_values.end(), seconds,
                         [](const SeriesSample& s, double t) { return double(s.seconds) < t; });
    if (it == m_values.end())
        --it;
    else if (it != m_values.begin() &&
             seconds - double((it - 1)->seconds) < double(it->seconds) - seconds)
        --it;
    const QLocale locale;
    return QStringLiteral("%1 min   %2   %3   %4")
        .arg(locale.toString(minutesOf(it->seconds), 'f', 2), formatVoltString(it->millivolt),
             formatAmpereString(it->milliampere), formatAmpereHourString(it->milliampereHours));
}

void DiagramChart::mouseMoveEvent(QMouseEvent* event) {
    QCustomPlot::mouseMoveEvent(event);
    if (axisRect()->rect().contains(event->pos()))
        Q_EMIT readoutChanged(readoutAt(xAxis->pixelToCoord(event->pos().x())));
}

bool DiagramChart::saveChartPng(const QString& path) {
    return !path.isEmpty() && savePng(path);
}

// One A4 page in landscape with the chart filling it inside the margins.
bool DiagramChart::saveChartPdf(const QString& path) {
    if (path.isEmpty())
        return false;
    QPdfWriter writer(path);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    writer.setResolution(96); // the chart's fonts and pens at their screen size
    writer.setCreator(QStringLiteral("velmara"));
    writer.setTitle(title());
    QCPPainter painter;
    if (!painter.begin(&writer))
        return false;
    const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
    toPainter(&painter, page.width(), page.height());
    return painter.end();
}

} // namespace velmara
