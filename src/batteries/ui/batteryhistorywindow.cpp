#include "batteries/ui/batteryhistorywindow.h"

#include "base/core/dateformat.h"
#include "base/core/formatting.h"
#include "base/widgets/placewindow.h"
#include "data/stores/userstores.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>

namespace velmara {

namespace {
enum Column {
    ColNumber,
    ColDate,
    ColRemark,
    ColCharged,
    ColDischarged,
    ColNominal,
    ColPercent,
    ColStation
};
constexpr int kColumns = 8;
// The capacity colour of the diagram window for the discharge capacity, a
// lighter shade of it for the charge capacity.
const QColor kDischargeColor(0, 0, 255);
const QColor kChargeColor(110, 150, 255);
const QColor kNominalColor(90, 90, 90);

// Date ticks at least a day apart, so that no date repeats along the axis.
class DayTicker : public QCPAxisTickerDateTime {
protected:
    double getTickStep(const QCPRange& range) override {
        constexpr double kDay = 24 * 3600;
        const double step = QCPAxisTickerDateTime::getTickStep(range);
        if (step >= kDay)
            return step;
        mDateStrategy = dsUniformTimeInDay;
        return kDay;
    }
};

QString ah(const std::optional<qint32>& mah) {
    return mah ? formatAmpereHourString(*mah) : QStringLiteral("---");
}
} // namespace

BatteryHistoryWindow::BatteryHistoryWindow(UserStores& stores, qint32 batteryId,
                                           std::function<QString(const QString&)> text,
                                           QWidget* parent, const QString& language)
    : QWidget(parent, Qt::Window), m_stores(stores), m_batteryId(batteryId),
      m_text(std::move(text)), m_language(language) {
    setObjectName(QStringLiteral("frmAkkuVerlauf"));
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* top = new QVBoxLayout(this);
    auto* split = new QSplitter(Qt::Vertical, this);
    m_table = new QTableWidget(0, kColumns, split);
    m_table->setObjectName(QStringLiteral("grdVerlauf"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    QStringList headers;
    for (const char* key : {"2254", "2256", "2258", "2260", "2262", "2264", "2266", "4924"})
        headers << m_text(QLatin1String(key));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->horizontalHeader()->setSectionResizeMode(ColRemark, QHeaderView::Stretch);
    m_chart = new QCustomPlot(split);
    m_chart->setObjectName(QStringLiteral("chartVerlauf"));
    m_chart->setMinimumHeight(220);
    split->addWidget(m_table);
    split->addWidget(m_chart);
    top->addWidget(split);
    reload();
}

void BatteryHistoryWindow::reload() {
    m_history = readBatteryHistory(m_stores.batteries(), m_stores.values(), m_batteryId);
    setWindowTitle(m_text(QStringLiteral("2252")) + QStringLiteral(" - ") + m_history.batteryName);
    fillTable();
    fillChart();
}

void BatteryHistoryWindow::fillTable() {
    m_table->setRowCount(int(m_history.series.size()));
    for (int r = 0; r < m_history.series.size(); ++r) {
        const SeriesHistory& s = m_history.series[r];
        const auto percent = percentOfNominal(s);
        const QString cells[kColumns] = {
            QString::number(s.number),
            s.created.isValid() ? formatDateTime(s.created, m_language) : QString(),
            s.remark,
            ah(s.chargedMah),
            ah(s.dischargedMah),
            ah(s.nominalMah),
            percent ? QString::number(*percent) + QStringLiteral(" %") : QStringLiteral("---"),
            s.station};
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != ColRemark && c != ColDate && c != ColStation)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(r, c, item);
        }
    }
    m_table->resizeColumnsToContents();
    // Every column in full and room for a remark: the table asks for that width,
    // and the window opens wide enough for it (placeWindow).
    constexpr int kRemarkWidth = 220;
    int width = 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < kColumns; ++c)
        width += c == ColRemark ? std::max(kRemarkWidth, m_table->columnWidth(c))
                                : m_table->columnWidth(c);
    m_table->setMinimumWidth(width);
}

void BatteryHistoryWindow::fillChart() {
    m_chart->clearGraphs();
    m_chart->clearItems();
    m_chart->legend->setVisible(true);
    // Capacities fade downwards: the legend keeps out of their way at the bottom.
    m_chart->axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignBottom | Qt::AlignLeft);
    auto ticker = QSharedPointer<DayTicker>::create();
    ticker->setDateTimeFormat(dateFormat(m_language, false));
    m_chart->xAxis->setTicker(ticker);
    m_chart->yAxis->setLabel(QStringLiteral("Ah"));

    QCPGraph* charged = m_chart->addGraph();
    charged->setName(m_text(QStringLiteral("2260")));
    charged->setPen(QPen(kChargeColor, 2));
    charged->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, 6));
    QCPGraph* discharged = m_chart->addGraph();
    discharged->setName(m_text(QStringLiteral("2262")));
    discharged->setPen(QPen(kDischargeColor, 2));
    discharged->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 7));

    double lowX = 0, highX = 0, highY = 0;
    bool any = false;
    auto extend = [&](double x, double y) {
        lowX = any ? std::min(lowX, x) : x;
        highX = any ? std::max(highX, x) : x;
        highY = std::max(highY, y);
        any = true;
    };
    for (const SeriesHistory& s : m_history.series) {
        if (!s.created.isValid())
            continue; // without a date the series has no place on the time axis
        const double x = QCPAxisTickerDateTime::dateTimeToKey(s.created);
        if (s.chargedMah) {
            charged->addData(x, *s.chargedMah / 1000.0);
            extend(x, *s.chargedMah / 1000.0);
        }
        if (s.dischargedMah) {
            discharged->addData(x, *s.dischargedMah / 1000.0);
            extend(x, *s.dischargedMah / 1000.0);
        }
    }
    if (m_history.nominalMah) {
        const double nominal = *m_history.nominalMah / 1000.0;
        auto* line = new QCPItemStraightLine(m_chart);
        line->setObjectName(QStringLiteral("lineNennkapazitaet"));
        line->setPen(QPen(kNominalColor, 1, Qt::DashLine));
        line->point1->setCoords(0, nominal);
        line->point2->setCoords(1, nominal);
        highY = std::max(highY, nominal);
    }
    const double day = 24 * 3600;
    if (!any) {
        const double now = QCPAxisTickerDateTime::dateTimeToKey(QDateTime::currentDateTime());
        lowX = highX = now;
    }
    const double margin = std::max(day, (highX - lowX) * 0.05);
    m_chart->xAxis->setRange(lowX - margin, highX + margin);
    m_chart->yAxis->setRange(0, highY > 0 ? highY * 1.15 : 1.0);
    m_chart->replot(QCustomPlot::rpQueuedReplot);
}

BatteryHistoryWindow* openBatteryHistoryWindow(UserStores& stores, qint32 batteryId,
                                               std::function<QString(const QString&)> text,
                                               QWidget* parent, const QString& language) {
    auto* window = new BatteryHistoryWindow(stores, batteryId, std::move(text), parent, language);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(window->minimumSizeHint().width(), 560);
    placeWindow(window, parent);
    window->show();
    return window;
}

} // namespace velmara
