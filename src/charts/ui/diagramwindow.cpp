#include "charts/ui/diagramwindow.h"

#include "base/core/messages.h"
#include "base/widgets/modal.h"
#include "charts/ui/diagramchart.h"
#include "charts/ui/diagramoptionsdialog.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace velmara {

namespace {

// A typed name without a suffix gets the picture's one.
QString withPictureSuffix(const QString& path, bool pdf) {
    const QString suffix = pdf ? QStringLiteral("pdf") : QStringLiteral("png");
    if (QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0)
        return path;
    return path + QLatin1Char('.') + suffix;
}

// Twips (1/1440 inch) of the window's layout in pixels of this screen.
int twips(const QWidget* w, int t) {
    return t * w->logicalDpiY() / 1440;
}

} // namespace

DiagramWindow::DiagramWindow(DiagramContext context, QWidget* parent)
    : QWidget(parent), m_context(std::move(context)) {
    setObjectName(QStringLiteral("frmDiagramm"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    applyCaptions();
    m_chart->setVisible(false);
    resize(900, 600);
}

DiagramWindow::~DiagramWindow() = default;

void DiagramWindow::buildControls() {
    m_frmAnsicht = new QGroupBox(this);
    m_frmAnsicht->setObjectName(QStringLiteral("frmAnsicht"));
    m_frmCheckBoxes = new QFrame(m_frmAnsicht);
    m_frmCheckBoxes->setObjectName(QStringLiteral("frmCheckBoxes"));
    m_frmButtons = new QFrame(m_frmAnsicht);
    m_frmButtons->setObjectName(QStringLiteral("frmButtons"));

    auto* boxes = new QHBoxLayout(m_frmCheckBoxes);
    boxes->setContentsMargins(4, 0, 4, 0);
    auto makeBox = [&](const char* name, Curve c) {
        auto* box = new QCheckBox(m_frmCheckBoxes);
        box->setObjectName(QLatin1String(name));
        // The caption in the colour of its curve.
        box->setStyleSheet(
            QStringLiteral("QCheckBox { color: %1; }").arg(DiagramChart::colorOf(c).name()));
        boxes->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, c](bool on) { onCurveBox(c, on); });
        return box;
    };
    m_chkSpannung = makeBox("chkSpannung", Curve::Voltage);
    m_chkStrom = makeBox("chkStrom", Curve::Current);
    m_chkKapazitaet = makeBox("chkKapazitaet", Curve::Capacity);

    auto* buttons = new QHBoxLayout(m_frmButtons);
    buttons->setContentsMargins(4, 0, 4, 0);
    auto makeButton = [&](const char* name) {
        auto* b = new QPushButton(m_frmButtons);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    m_cmdEinstellungen = makeButton("cmdEinstellungen");
    m_cmdPrint = makeButton("cmdPrint");
    m_cmdPrintDiagram = makeButton("cmdPrintDiagram");
    m_cmdOk = makeButton("cmdOk");
    connect(m_cmdEinstellungen, &QPushButton::clicked, this, &DiagramWindow::openOptions);
    connect(m_cmdPrint, &QPushButton::clicked, this, [this] { printReport(false); });
    connect(m_cmdPrintDiagram, &QPushButton::clicked, this, [this] { printReport(true); });
    connect(m_cmdOk, &QPushButton::clicked, this, &DiagramWindow::closeWindow);

    m_lblCursor = new QLabel(m_frmAnsicht);
    m_lblCursor->setObjectName(QStringLiteral("lblCursor"));
    m_lblCursor->setAlignment(Qt::AlignCenter);

    m_chart = new DiagramChart(this);
    connect(m_chart, &DiagramChart::readoutChanged, m_lblCursor, &QLabel::setText);
    m_chart->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_chart, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(m_context.tr(QStringLiteral("2172")), m_chart, &DiagramChart::resetView);
        menu.addAction(m_context.tr(QStringLiteral("2174")), this, [this] { saveChart(false); });
        menu.addAction(m_context.tr(QStringLiteral("2176")), this, [this] { saveChart(true); });
        menu.exec(m_chart->mapToGlobal(at));
    });

    m_lblLoading = new QLabel(this);
    m_lblLoading->setObjectName(QStringLiteral("lblLoading"));
    QFont big = m_lblLoading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.8);
    m_lblLoading->setFont(big);
    m_lblLoading->setAlignment(Qt::AlignCenter);
    m_lblLoading->setAutoFillBackground(true); // covers the previous chart of a reused window

    m_printPicture = new QLabel(this);
    m_printPicture->setObjectName(QStringLiteral("printPicture"));
    m_printPicture->setVisible(false);
}

void DiagramWindow::applyCaptions() {
    const auto& c = m_context;
    setWindowTitle(c.tr(QStringLiteral("2100")));
    m_frmAnsicht->setTitle(c.tr(QStringLiteral("2110")));
    m_chkSpannung->setText(c.tr(QStringLiteral("2112")));
    m_chkStrom->setText(c.tr(QStringLiteral("2114")));
    m_chkKapazitaet->setText(c.tr(QStringLiteral("2116")));
    m_cmdPrint->setText(c.tr(QStringLiteral("2120")));
    m_cmdOk->setText(c.tr(QStringLiteral("0100")));
    m_lblLoading->setText(c.tr(QStringLiteral("2102")));
    m_cmdPrintDiagram->setText(c.tr(QStringLiteral("2124")));
    m_cmdEinstellungen->setText(c.tr(QStringLiteral("2168")));
    m_chart->xAxis->setLabel(c.tr(QStringLiteral("4501")));
    m_chart->setCurveNames(c.tr(QStringLiteral("2112")), c.tr(QStringLiteral("2114")),
                           c.tr(QStringLiteral("2116")));
}

void DiagramWindow::closeWindow() {
    // Inside the main window's area the sub-window goes with it, no empty frame stays.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

QCheckBox* DiagramWindow::boxOf(Curve c) const {
    switch (c) {
    case Curve::Voltage:
        return m_chkSpannung;
    case Curve::Current:
        return m_chkStrom;
    case Curve::Capacity:
        return m_chkKapazitaet;
    }
    return nullptr;
}

// --- loading --------------------------------------------------------------------------------

void DiagramWindow::startLoad(const DiagramRequest& request) {
    if (m_load)
        Q_EMIT loadAbandoned();
    m_request = request;
    const quint64 generation = ++m_generation;
    if (!m_context.values) {
        m_load.reset();
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == m_generation)
                finishLoad(DiagramLoad::State::Failed);
        });
        return;
    }
    m_load = std::make_unique<DiagramLoad>(*m_context.values, request, m_context.diagramPoints);
    m_lblLoading->setVisible(true);
    m_lblLoading->raise();
    QTimer::singleShot(0, this, [this, generation] { loadStep(generation); });
}

void DiagramWindow::loadStep(quint64 generation) {
    if (generation != m_generation || !m_load)
        return; // a newer load took over
    const DiagramLoad::State state = m_load->step(m_context.chunkRows);
    if (state == DiagramLoad::State::Reading) {
        // The next chunk after everything else waiting (poll timers included).
        QTimer::singleShot(0, this, [this, generation] { loadStep(generation); });
        return;
    }
    finishLoad(state);
}

void DiagramWindow::finishLoad(DiagramLoad::State state) {
    std::unique_ptr<DiagramLoad> load = std::move(m_load);
    if (state == DiagramLoad::State::TooFewValues) {
        m_context.tell(QStringLiteral("0848"), QStringLiteral("0410"), MsgIcon::None);
        Q_EMIT loadFinished(false);
        return;
    }
    if (state != DiagramLoad::State::Ready) {
        // Never a half diagram shown as complete: report the failure, the opener closes.
        const QString error = load ? load->error() : QStringLiteral("The user file is not open.");
        if (m_context.log)
            m_context.log(
                QStringLiteral("Diagram of series %1: %2").arg(m_request.seriesId).arg(error));
        Message m;
        m.key = QStringLiteral("2170");
        m.text = m_context.tr(m.key) + QStringLiteral("\n\n") + error;
        m.title = m_context.tr(QStringLiteral("0410"));
        m.icon = MsgIcon::Critical;
        if (m_context.prompter)
            m_context.prompter->show(m);
        Q_EMIT loadFinished(false);
        return;
    }
    if (load->damagedCount() > 0 && m_context.log)
        m_context.log(QStringLiteral("Diagram of series %1: %2 stored values could not be read "
                                     "and were left out")
                          .arg(m_request.seriesId)
                          .arg(load->damagedCount()));
    const PlotData plot = load->plot();
    m_chart->setSeries(load->takeValues(), plot);
    m_axes.loadSeries(plot.minMax);
    syncBoxesAndChart();
    refreshMinMaxStatLines();
    refreshGrids();
    m_lblLoading->setVisible(false);
    m_chart->setVisible(true);
    layoutControls();
    Q_EMIT loadFinished(true);
}

// --- curves, axes, switches -----------------------------------------------------------------

void DiagramWindow::syncBoxesAndChart() {
    for (Curve c : kCurves) {
        QSignalBlocker block(boxOf(c));
        boxOf(c)->setChecked(m_axes.isChecked(c));
        m_chart->setCurveVisible(c, m_axes.isChecked(c));
    }
    m_chart->applyAxes(m_axes.yAxis(), m_axes.xAxis(), m_axes.secondYAxis());
}

void DiagramWindow::onCurveBox(Curve c, bool checked) {
    m_axes.setCurveChecked(c, checked);
    syncBoxesAndChart();
}

void DiagramWindow::refreshMinMaxStatLines() {
    DiagramSwitches s = readDiagramSwitches(m_context.settings);
    m_chart->applySwitches(s);
}

void DiagramWindow::refreshGrids() {
    refreshMinMaxStatLines(); // the chart takes both from the one set of switches
}

void DiagramWindow::refreshXYRanges(const AxisRange& yAx, const AxisRange& xAx) {
    m_axes.refreshXYRanges(yAx, xAx);
    m_chart->applyAxes(m_axes.yAxis(), m_axes.xAxis(), m_axes.secondYAxis());
}

// --- buttons --------------------------------------------------------------------------------

void DiagramWindow::openOptions() {
    DiagramOptionsDialog dialog(this);
    dialog.initializeDialog(m_axes.xRange(), m_axes.yRange());
    if (m_context.prompter)
        execModal(*m_context.prompter, &dialog);
}

void DiagramWindow::printReport(bool diagramOnly, bool toPdf) {
    m_printPicture->resize(m_chart->size());
    if (!printingEnabled(m_context.settings.get ? m_context.settings.get(settingkeys::PrintingLook)
                                                : QString()))
        return;
    // The chart alone: the check boxes, the read-out and the buttons stay on screen.
    const QPixmap picture = m_chart->grab();
    m_printPicture->setPixmap(picture);
    if (m_context.print)
        m_context.print(this, picture, diagramOnly, toPdf);
}

void DiagramWindow::saveChart(bool pdf) {
    if (!m_context.askSavePath)
        return;
    QString path =
        m_context.askSavePath(pdf ? QStringLiteral("PDF (*.pdf)") : QStringLiteral("PNG (*.png)"));
    if (path.isEmpty())
        return;
    path = withPictureSuffix(path, pdf);
    // The picture carries the title and the legend.
    m_chart->setTitle(m_title);
    const bool ok = pdf ? m_chart->saveChartPdf(path) : m_chart->saveChartPng(path);
    m_chart->setTitle(QString());
    m_chart->replot(QCustomPlot::rpQueuedReplot);
    if (!ok) {
        m_context.tell(QStringLiteral("2178"), QStringLiteral("0410"), MsgIcon::Exclamation);
        return;
    }
    Message m;
    m.key = QStringLiteral("4502");
    m.text = m_context.tr(m.key).arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    m.title = m_context.tr(QStringLiteral("2100"));
    m.icon = MsgIcon::Information;
    if (m_context.prompter)
        m_context.prompter->show(m);
}

// --- window ---------------------------------------------------------------------------------

void DiagramWindow::layoutControls() {
    const int w = width();
    const int h = height();
    // The check boxes and buttons sit below the frame's title, never across its
    // border line; the frame grows when the font needs more than its usual height.
    const QMargins inside = m_frmAnsicht->contentsMargins();
    const int titleHeight = inside.top();
    const int frameHeight =
        std::max({twips(this, 610) - titleHeight, m_frmCheckBoxes->sizeHint().height(),
                  m_frmButtons->sizeHint().height()});
    const int ansichtHeight =
        std::max(twips(this, 615), titleHeight + frameHeight + inside.bottom());
    m_frmAnsicht->setGeometry(0, 0, w, ansichtHeight);
    const int boxesWidth = m_frmCheckBoxes->sizeHint().width();
    const int buttonsWidth = m_frmButtons->sizeHint().width();
    m_frmCheckBoxes->setGeometry(0, titleHeight, boxesWidth, frameHeight);
    m_frmButtons->setGeometry(std::max(0, w - buttonsWidth), titleHeight, buttonsWidth,
                              frameHeight);
    m_lblCursor->setGeometry(boxesWidth, titleHeight, std::max(0, w - boxesWidth - buttonsWidth),
                             frameHeight);
    // A window too small for the chart (minimised, say) keeps a chart of no height.
    const int chartHeight = std::max(0, h - ansichtHeight);
    m_chart->setGeometry(0, ansichtHeight, w, chartHeight);
    m_lblLoading->setGeometry(0, ansichtHeight, w, chartHeight);
}

void DiagramWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

void DiagramWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_context.printItemChanged)
        m_context.printItemChanged(this, true);
}

void DiagramWindow::closeEvent(QCloseEvent* event) {
    ++m_generation; // a load still running stops here
    if (m_load) {
        m_load.reset();
        Q_EMIT loadAbandoned();
    }
    if (m_context.printItemChanged)
        m_context.printItemChanged(this, false);
    QWidget::closeEvent(event);
}

} // namespace velmara
