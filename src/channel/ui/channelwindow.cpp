#include "channel/ui/channelwindow.h"

#include "batteries/ui/batteriesui.h"
#include "channel/ui/channelcapture.h"
#include "charts/ui/livecurvechart.h"
#include "data/databases.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "data/valuestrings.h"
#include "link/statusrecord.h"
#include "programs/ui/openprogrameditor.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace velmara {

// ---------------------------------------------------------------- window

namespace {

QString windowName(const QString& code) {
    const int n = code.toInt();
    return n <= 1 ? QStringLiteral("frmKanal") : QStringLiteral("frmKanal%1").arg(n);
}

QString captionKey(const QString& code) {
    return QString::number(801 - code.toInt()).rightJustified(4, QLatin1Char('0'));
}

QLabel* label(QWidget* parent, const char* name, const char* key) {
    auto* l = new QLabel(res(QLatin1String(key)), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QLineEdit* readOnlyBox(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

QPushButton* button(QWidget* parent, const char* name, const char* key) {
    auto* b = new QPushButton(res(QLatin1String(key)), parent);
    b->setObjectName(QLatin1String(name));
    b->setEnabled(false); // enabled when the window is wired to what the button opens
    return b;
}

} // namespace

ChannelWindow::ChannelWindow(const QString& code, ChargerLink* link, ChannelHost& host,
                             ChannelWindowHost* main, bool startPolling,
                             ChannelController::Clock clock, QWidget* parent)
    : QWidget(parent), m_code(code), m_main(main), m_clock(clock), m_events(code) {
    setObjectName(windowName(code));
    buildControls();
    setCaptions();
    m_controller = std::make_unique<ChannelController>(code, link, host, *this, std::move(clock));
    m_link = link;
    const auto wire = [this](const char* name, void (ChannelWindow::*slot)()) {
        if (auto* b = findChild<QPushButton*>(QLatin1String(name))) {
            b->setEnabled(true);
            connect(b, &QPushButton::clicked, this, slot);
        }
    };
    wire("cmdProgram", &ChannelWindow::openProgram);
    if (m_main) {
        wire("cmdMesswert", &ChannelWindow::openCapture);
        wire("cmdDiagramme", &ChannelWindow::openDiagram);
        wire("cmdDruck", &ChannelWindow::printReport);
        for (QListWidget* list : {m_lstLaden, m_lstEntladen})
            connect(list, &QListWidget::itemDoubleClicked, this,
                    [this](QListWidgetItem* item) { openEndValueDiagram(item); });
    }
    m_controller->load(startPolling);
}

ChannelWindow::~ChannelWindow() {
    if (m_main && !m_main->hasEnded())
        m_main->setChannelChecked(m_code, false);
    m_controller.reset();
}

void ChannelWindow::buildControls() {
    auto* top = new QVBoxLayout(this);

    // Two rows of two, so the captions keep their room in a narrow window.
    auto* buttons = new QGridLayout;
    buttons->addWidget(button(this, "cmdProgram", "0802"), 0, 0);
    buttons->addWidget(button(this, "cmdMesswert", "0804"), 0, 1);
    buttons->addWidget(button(this, "cmdDiagramme", "0808"), 1, 0);
    buttons->addWidget(button(this, "cmdDruck", "0806"), 1, 1);
    top->addLayout(buttons);

    // Shown only while values of the channel wait to be written.
    m_lblNotStored = new QLabel(this);
    m_lblNotStored->setObjectName(QStringLiteral("lblNichtGespeichert"));
    m_lblNotStored->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;"));
    m_lblNotStored->setWordWrap(true);
    m_lblNotStored->hide();
    top->addWidget(m_lblNotStored);

    auto* frameProgram = new QGroupBox(res(QStringLiteral("0810")), this);
    frameProgram->setObjectName(QStringLiteral("frameAkkuprogramm"));
    auto* pg = new QGridLayout(frameProgram);
    pg->addWidget(label(frameProgram, "lblAkkutyp", "0812"), 0, 0);
    pg->addWidget(m_boxes[int(ChannelField::AkkuTyp)] = readOnlyBox(frameProgram, "txtAkkuTyp"), 0,
                  1);
    pg->addWidget(label(frameProgram, "lblMode", "0814"), 1, 0);
    pg->addWidget(m_boxes[int(ChannelField::Mode)] = readOnlyBox(frameProgram, "txtMode"), 1, 1);
    pg->addWidget(label(frameProgram, "lblNennkapazitaet", "0816"), 2, 0);
    pg->addWidget(m_boxes[int(ChannelField::NennKapazitaet)] =
                      readOnlyBox(frameProgram, "txtNennKapazitaet"),
                  2, 1);
    pg->setColumnStretch(1, 1);
    top->addWidget(frameProgram);

    m_frameAkkumesswerte = new QGroupBox(this);
    m_frameAkkumesswerte->setObjectName(QStringLiteral("frameAkkumesswerte"));
    auto* mv = new QVBoxLayout(m_frameAkkumesswerte);

    m_frameStatus = new QGroupBox(res(QStringLiteral("0822")), m_frameAkkumesswerte);
    m_frameStatus->setObjectName(QStringLiteral("frameStatus"));
    auto* sg = new QGridLayout(m_frameStatus);
    sg->addWidget(label(m_frameStatus, "lblStrom", "0824"), 0, 0);
    sg->addWidget(m_boxes[int(ChannelField::Strom)] = readOnlyBox(m_frameStatus, "txtStrom"), 0, 1);
    sg->addWidget(label(m_frameStatus, "lblSpannung", "0826"), 1, 0);
    sg->addWidget(m_boxes[int(ChannelField::Spannung)] = readOnlyBox(m_frameStatus, "txtSpannung"),
                  1, 1);
    sg->addWidget(label(m_frameStatus, "lblKapazitaet", "0828"), 2, 0);
    sg->addWidget(
        m_boxes[int(ChannelField::Kapazitaet)] = readOnlyBox(m_frameStatus, "txtKapazitaet"), 2, 1);
    sg->addWidget(m_boxes[int(ChannelField::Status)] = readOnlyBox(m_frameStatus, "txtStatus"), 3,
                  0, 1, 2);
    sg->setColumnStretch(1, 1);
    mv->addWidget(m_frameStatus);

    // The list lines are laid out in fixed columns: ask for a fixed-pitch font in
    // any case, whatever the system's fixed font turns out to be.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    auto endwertList = [&](const char* title, const char* titleKey, const char* nr, const char* ah,
                           const char* volt, const char* min, const char* list) -> QListWidget* {
        mv->addWidget(label(m_frameAkkumesswerte, title, titleKey));
        auto* heads = new QHBoxLayout;
        heads->addWidget(label(m_frameAkkumesswerte, nr, "0834"));
        heads->addWidget(label(m_frameAkkumesswerte, ah, "0836"));
        heads->addWidget(label(m_frameAkkumesswerte, volt, "0838"));
        heads->addWidget(label(m_frameAkkumesswerte, min, "0840"));
        mv->addLayout(heads);
        auto* l = new QListWidget(m_frameAkkumesswerte);
        l->setObjectName(QLatin1String(list));
        l->setFont(fixed);
        l->setMinimumHeight(60);
        mv->addWidget(l, 1);
        return l;
    };
    m_lstLaden = endwertList("lblMesswerteNachLaden", "0830", "lblLadenNr", "lblLadenAh",
                             "lblLadenVolt", "lblLadenMin", "lstEndwertLaden");
    m_lstEntladen =
        endwertList("lblMesswerteNachEntladen", "0832", "lblEntladenNr", "lblEntladenAh",
                    "lblEntladenVolt", "lblEntladenMin", "lstEndwertEntladen");

    auto* bg = new QGridLayout;
    bg->addWidget(label(m_frameAkkumesswerte, "lblBemerkungen", "0842"), 0, 0);
    bg->addWidget(m_boxes[int(ChannelField::Bemerkung)] =
                      readOnlyBox(m_frameAkkumesswerte, "txtBemerkung"),
                  0, 1);
    bg->addWidget(m_lblAkkuzustand = label(m_frameAkkumesswerte, "lblAkkuzustand", "0844"), 1, 0);
    bg->addWidget(m_boxes[int(ChannelField::Akkuzustand)] =
                      readOnlyBox(m_frameAkkumesswerte, "txtAkkuzustand"),
                  1, 1);
    bg->addWidget(m_lblSelbstentladung = label(m_frameAkkumesswerte, "lblSelbstentladung", "0850"),
                  2, 0);
    bg->addWidget(m_boxes[int(ChannelField::Selbstentladung)] =
                      readOnlyBox(m_frameAkkumesswerte, "txtSelbstentladung"),
                  2, 1);
    bg->setColumnStretch(1, 1);
    mv->addLayout(bg);
    top->addWidget(m_frameAkkumesswerte, 1);

    // The live curve, under the values; collapsed it costs the poll nothing but
    // keeping the values.
    m_curveToggle = new QToolButton(this);
    m_curveToggle->setObjectName(QStringLiteral("cmdKurve"));
    m_curveToggle->setCheckable(true);
    m_curveToggle->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_curveToggle->setArrowType(Qt::RightArrow);
    m_curveToggle->setAutoRaise(true);
    top->addWidget(m_curveToggle);
    m_live = new LiveCurveChart(this);
    m_live->setMinimumHeight(kLiveCurveHeight);
    m_live->hide();
    top->addWidget(m_live, 1);
    connect(m_curveToggle, &QToolButton::toggled, this, &ChannelWindow::showLiveCurve);

    setMinimumSize(320, 480);
}

void ChannelWindow::showLiveCurve(bool show) {
    if (show == m_live->isVisible())
        return;
    m_curveToggle->setChecked(show);
    m_curveToggle->setArrowType(show ? Qt::DownArrow : Qt::RightArrow);
    m_live->setVisible(show);
    // The MDI frame grows and shrinks with the pane, the values keep their room.
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    frame->resize(frame->width(), frame->height() + (show ? kLiveCurveHeight : -kLiveCurveHeight));
    if (show)
        m_live->replot(QCustomPlot::rpQueuedReplot);
}

void ChannelWindow::polled(const StatusRecord& status) {
    if (const auto event =
            m_events.observe(status.answerType, status.stateCode, status.faultCode)) {
        if (channelEventSink)
            channelEventSink(*event);
        else if (m_main)
            m_main->tellChannelEvent(*event);
    }
    if (LiveCurve::takesValue(status.answerType, status.stateCode) &&
        m_controller->tempSeriesUsed()) {
        const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
        SeriesSample sample;
        sample.seconds = qint32(secondsSince(m_controller->tempSeriesStart(), now));
        sample.millivolt = status.voltageMv;
        sample.milliampere = status.currentMa;
        sample.milliampereHours = status.capacityMah;
        m_live->addValue(m_controller->tempSeriesId(), sample);
    }
}

void ChannelWindow::setCaptions() {
    setWindowTitle(res(captionKey(m_code)));
    m_frameAkkumesswerte->setTitle(ChannelController::headingWithoutRecording());
    m_curveToggle->setText(res(QStringLiteral("2270")));
}

QLineEdit* ChannelWindow::box(ChannelField field) const {
    return m_boxes.value(int(field), nullptr);
}

void ChannelWindow::setText(ChannelField field, const QString& text) {
    if (field == ChannelField::MesswerteHeading) {
        m_frameAkkumesswerte->setTitle(text);
        return;
    }
    QLineEdit* e = box(field);
    if (!e)
        return;
    e->setText(text);
    // A text wider than its box shows its beginning; the state box tells the
    // whole text (a long fault) in its tool tip.
    e->setCursorPosition(0);
    if (field == ChannelField::Status)
        e->setToolTip(text);
}

void ChannelWindow::setValuesStale(bool stale) {
    for (ChannelField f : {ChannelField::Strom, ChannelField::Spannung, ChannelField::Kapazitaet})
        if (QLineEdit* e = box(f))
            e->setEnabled(!stale);
}

// A fault's box is told once per fault episode: not again while the channel
// stays in that fault. It is a notice, so the poll goes on behind it.
void ChannelWindow::reportFault(qint16 faultCode, const Message& box) {
    if (faultCode == m_faultShown)
        return;
    m_faultShown = faultCode;
    if (faultCode != 0)
        showNotice(QStringLiteral("channel-fault-") + m_code, box);
}

QString ChannelWindow::text(ChannelField field) const {
    if (field == ChannelField::MesswerteHeading)
        return m_frameAkkumesswerte->title();
    const QLineEdit* e = box(field);
    return e ? e->text() : QString();
}

void ChannelWindow::setVisible(ChannelField field, bool visible) {
    QLabel* l = field == ChannelField::Akkuzustand       ? m_lblAkkuzustand
                : field == ChannelField::Selbstentladung ? m_lblSelbstentladung
                                                         : nullptr;
    if (l)
        l->setVisible(visible);
    if (QLineEdit* e = box(field))
        e->setVisible(visible);
}

void ChannelWindow::setStatusFrameRed(bool red) {
    m_frameStatus->setStyleSheet(red ? QStringLiteral("QGroupBox#frameStatus::title { color: "
                                                      "rgb(255, 0, 0); }")
                                     : QString());
}

void ChannelWindow::setEndValueLines(const QList<EndValueDisplayLine>& laden,
                                     const QList<EndValueDisplayLine>& entladen) {
    auto fill = [](QListWidget* list, const QList<EndValueDisplayLine>& lines) {
        list->clear();
        for (const EndValueDisplayLine& line : lines) {
            auto* item = new QListWidgetItem(line.text, list);
            item->setData(Qt::UserRole, line.tempId);
        }
    };
    fill(m_lstLaden, laden);
    fill(m_lstEntladen, entladen);
}

// The program editor of the channel; a program the charger reports while it is
// open goes to the editor. Programs sent to other channels reset their windows.
void ChannelWindow::openProgram() {
    ChannelController& channel = *m_controller;
    ChannelProgramContext context;
    context.channel = m_code;
    context.program = &channel.program();
    context.link = m_link;
    context.master = masterDatabase();
    context.user = userDatabase();
    context.setting = [](const QString& key) { return getSetting(key); };
    context.language = currentLanguage();
    context.resetChannels = [this](const QStringList& codes) {
        for (const QString& code : codes) {
            ChannelWindow* window = this;
            if (code != m_code)
                window = m_main ? dynamic_cast<ChannelWindow*>(m_main->channelView(code)) : nullptr;
            if (window)
                window->controller().resetForNewProgram();
        }
    };
    context.programChangedFromOutside = &channel.programChangedFromOutside;
    channel.beginProgramDialog();
    openProgramEditor(this, context);
    channel.endProgramDialog();
}

void ChannelWindow::openCapture() {
    ControllerCaptureChannel channel(*m_controller);
    if (m_main)
        openCaptureDialog(channel, m_main->batteryUsage(), m_main->batteriesContext(), this);
}

// The temporary series of the channel: the one just ended while the channel
// rests after a process, else the running one.
void ChannelWindow::openDiagram() {
    const ChargerState state = m_controller->status().state();
    const qint32 series = (state == ChargerState::Idle || state == ChargerState::Trickle ||
                           state == ChargerState::Finished)
                              ? m_controller->previousTempSeriesId()
                              : m_controller->tempSeriesId();
    startDiagram(series, 0);
}

void ChannelWindow::openEndValueDiagram(QListWidgetItem* item) {
    if (!item)
        return;
    const ChargerState state = m_controller->status().state();
    const qint32 previous = m_controller->previousTempSeriesId();
    const qint32 series =
        (previous != -1 && (state == ChargerState::Idle || state == ChargerState::Finished))
            ? previous
            : m_controller->tempSeriesId();
    startDiagram(series, item->data(Qt::UserRole).toInt());
}

// One opening at a time per window: the busy flag holds until the diagram is
// shown or given up.
void ChannelWindow::startDiagram(qint32 series, qint32 endValueId) {
    if (!m_main || !m_controller->tryBeginDiagram())
        return;
    QPointer<ChannelWindow> self(this);
    m_main->openDiagram(
        series, endValueId,
        [self](bool) {
            if (self)
                self->m_controller->endDiagram();
        },
        this,
        [self]() -> const ProgramRecord* {
            return self ? &self->m_controller->program() : nullptr;
        });
}

// The channel report with the program the channel runs, without a diagram.
void ChannelWindow::printReport() {
    printReportTo(false);
}

void ChannelWindow::printReportTo(bool toPdf) {
    if (m_main)
        m_main->printReport(this, &m_controller->program(), toPdf);
}

void ChannelWindow::setStorageWarning(const QString& text) {
    m_lblNotStored->setText(text);
    m_lblNotStored->setVisible(!text.isEmpty());
}

// The close button hides the window; it goes on polling and recording.
void ChannelWindow::closeEvent(QCloseEvent* event) {
    if (m_main && m_main->hasEnded()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    if (m_main)
        m_main->setChannelChecked(m_code, false);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->hide();
    else
        hide();
}

void ChannelWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QObject* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && sub != m_watchedSub) {
        sub->installEventFilter(this);
        m_watchedSub = sub;
    }
}

bool ChannelWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedSub && event->type() == QEvent::WindowActivate && m_main) {
        // While this window is active, the main window's print entries print its report.
        QPointer<ChannelWindow> self(this);
        m_main->windowActivated(this, [self](bool toPdf) {
            if (self)
                self->printReportTo(toPdf);
        });
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velmara
