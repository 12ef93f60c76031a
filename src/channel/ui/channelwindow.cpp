#include "channel/ui/channelwindow.h"

#include "base/widgets/subwindowactivation.h"
#include "batteries/ui/batteriesui.h"
#include "channel/core/channelboard.h"
#include "channel/ui/channelcapture.h"
#include "charts/ui/livecurvechart.h"
#include "data/endvaluelines.h"
#include "data/session.h"
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
#include <QResizeEvent>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
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

QLineEdit* readOnlyBox(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

// Where the text of a list line begins, from the list's left edge: its frame
// and the margin the style keeps around an item's text.
int endValueTextOffset(const QListWidget* list) {
    return list->frameWidth() +
           list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
}

// Wide enough for its longest line (at least one of the normal 30 characters)
// and a vertical scroll bar.
void fitEndValueList(QListWidget* list) {
    const QFontMetrics metrics(list->font());
    int text = metrics.horizontalAdvance(QString(30, QLatin1Char('0')));
    for (int i = 0; i < list->count(); ++i)
        text = std::max(text, metrics.horizontalAdvance(list->item(i)->text()));
    const int bar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(text + 2 * endValueTextOffset(list) + bar);
}

// A label wrapped to the width its layout gives it. It does not ask the layout
// for a height for its width: that would size the whole scrolled pane by the
// preferred heights of all controls instead of the room the window has.
class WrappedLabel : public QLabel {
public:
    explicit WrappedLabel(QWidget* parent) : QLabel(parent) { setWordWrap(true); }
    bool hasHeightForWidth() const override { return false; }
    QSize minimumSizeHint() const override {
        const int w = std::max(width(), 80);
        return {80, heightForWidth(w)};
    }
    QSize sizeHint() const override { return minimumSizeHint(); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        if (event->oldSize().width() != width())
            updateGeometry();
    }
};

// The colour of a fault wherever the window shows one.
const QColor kFaultColour(190, 0, 0);

// A fault's sign: the critical icon beside the fault's text, wrapped so that
// all of it is read; hidden until a fault is shown.
// inLayout: the sign stands in a layout (wrapped to the width it is given),
// else it is placed by hand over another control.
QWidget* faultSign(QWidget* parent, const char* name, QLabel** text, bool inLayout) {
    auto* pane = new QWidget(parent);
    pane->setObjectName(QLatin1String(name));
    auto* row = new QHBoxLayout(pane);
    row->setContentsMargins(0, 0, 0, 0);
    auto* icon = new QLabel(pane);
    const int size = pane->style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(pane->style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop);
    row->addWidget(icon);
    if (inLayout) {
        *text = new WrappedLabel(pane);
    } else {
        *text = new QLabel(pane);
        (*text)->setWordWrap(true);
    }
    (*text)->setObjectName(QLatin1String(name) + QStringLiteral("Text"));
    (*text)->setTextFormat(Qt::PlainText);
    (*text)->setStyleSheet(
        QStringLiteral("color: %1; font-weight: bold;").arg(kFaultColour.name()));
    (*text)->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    row->addWidget(*text, 1);
    pane->hide();
    return pane;
}

} // namespace

QLabel* ChannelWindow::label(QWidget* parent, const char* name, const char* key) {
    auto* l = new QLabel(m_session.text(QLatin1String(key)), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QPushButton* ChannelWindow::button(QWidget* parent, const char* name, const char* key) {
    auto* b = new QPushButton(m_session.text(QLatin1String(key)), parent);
    b->setObjectName(QLatin1String(name));
    b->setEnabled(false); // enabled when the window is wired to what the button opens
    return b;
}

ChannelWindow::ChannelWindow(Session& session, ChannelBoard& board, ChannelCode code,
                             ChannelWindowHost* main, QWidget* parent)
    : QWidget(parent), m_session(session), m_board(board), m_code(code.text()), m_main(main) {
    Q_ASSERT(board.controller(code));
    setObjectName(windowName(m_code));
    buildControls();
    setCaptions();
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
    m_board.attach(code, this);
    m_readings = m_board.snapshot(code).readings;
    connect(&m_board, &ChannelBoard::snapshotChanged, this, &ChannelWindow::follow);
}

ChannelWindow::~ChannelWindow() {
    if (m_main && !m_main->hasEnded())
        m_main->setChannelChecked(m_code, false);
    m_board.detach(*ChannelCode::fromText(m_code), this);
}

ChannelController& ChannelWindow::controller() const {
    return *m_board.controller(m_code);
}

void ChannelWindow::buildControls() {
    // The controls sit in a scrolled pane: a window smaller than its content
    // scrolls instead of cutting it off.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrollKanal"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    outer->addWidget(m_scroll);
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("paneKanal"));
    m_top = new QGridLayout(m_content);

    m_buttons = new QWidget(m_content);
    m_buttonGrid = new QGridLayout(m_buttons);
    m_buttonGrid->setContentsMargins(0, 0, 0, 0);
    for (auto [name, key] : {std::pair{"cmdProgram", "0802"}, std::pair{"cmdMesswert", "0804"},
                             std::pair{"cmdDiagramme", "0808"}, std::pair{"cmdDruck", "0806"}}) {
        QPushButton* b = button(m_buttons, name, key);
        // A button may shrink to its caption; the row then fits a narrow window.
        b->setMinimumWidth(b->minimumSizeHint().width());
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        m_buttonGrid->addWidget(b, m_buttonGrid->count() / 2, m_buttonGrid->count() % 2);
    }

    // Shown only while values of the channel wait to be written.
    m_lblNotStored = new QLabel(m_content);
    m_lblNotStored->setObjectName(QStringLiteral("lblNichtGespeichert"));
    m_lblNotStored->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;"));
    m_lblNotStored->setWordWrap(true);
    m_lblNotStored->hide();

    m_frameProgram = new QGroupBox(m_session.text(QStringLiteral("0810")), m_content);
    m_frameProgram->setObjectName(QStringLiteral("frameAkkuprogramm"));
    auto* pg = new QGridLayout(m_frameProgram);
    pg->addWidget(label(m_frameProgram, "lblAkkutyp", "0812"), 0, 0);
    pg->addWidget(m_boxes[int(ChannelField::AkkuTyp)] = readOnlyBox(m_frameProgram, "txtAkkuTyp"),
                  0, 1);
    pg->addWidget(label(m_frameProgram, "lblMode", "0814"), 1, 0);
    pg->addWidget(m_boxes[int(ChannelField::Mode)] = readOnlyBox(m_frameProgram, "txtMode"), 1, 1);
    pg->addWidget(label(m_frameProgram, "lblNennkapazitaet", "0816"), 2, 0);
    pg->addWidget(m_boxes[int(ChannelField::NennKapazitaet)] =
                      readOnlyBox(m_frameProgram, "txtNennKapazitaet"),
                  2, 1);
    pg->setColumnStretch(1, 1);
    pg->setRowStretch(3, 1);
    // Narrow side margins: the fields carry the charger's longest mode names
    // ("Charge-discharge-charge") in a window a quarter of a small screen wide.
    const QMargins margins = pg->contentsMargins();
    pg->setContentsMargins(4, margins.top(), 4, margins.bottom());
    pg->setHorizontalSpacing(4);
    pg->setVerticalSpacing(4);

    m_frameAkkumesswerte = new QGroupBox(m_content);
    m_frameAkkumesswerte->setObjectName(QStringLiteral("frameAkkumesswerte"));
    m_mv = new QGridLayout(m_frameAkkumesswerte);

    m_frameStatus = new QGroupBox(m_session.text(QStringLiteral("0822")), m_frameAkkumesswerte);
    m_frameStatus->setObjectName(QStringLiteral("frameStatus"));
    m_statusGrid = new QGridLayout(m_frameStatus);
    m_statusRows = {
        {label(m_frameStatus, "lblStrom", "0824"),
         m_boxes[int(ChannelField::Strom)] = readOnlyBox(m_frameStatus, "txtStrom")},
        {label(m_frameStatus, "lblSpannung", "0826"),
         m_boxes[int(ChannelField::Spannung)] = readOnlyBox(m_frameStatus, "txtSpannung")},
        {label(m_frameStatus, "lblKapazitaet", "0828"),
         m_boxes[int(ChannelField::Kapazitaet)] = readOnlyBox(m_frameStatus, "txtKapazitaet")}};
    m_boxes[int(ChannelField::Status)] = readOnlyBox(m_frameStatus, "txtStatus");
    m_faultPane = faultSign(m_frameStatus, "frameFehler", &m_faultText, true);
    auto* sg = m_statusGrid;
    sg->setColumnStretch(1, 1);

    // The list lines are laid out in fixed columns: ask for a fixed-pitch font in
    // any case, whatever the system's fixed font turns out to be. The column
    // headings are one line in the same font and columns, over the list's text.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    auto endwertList = [&](const char* title, const char* titleKey, const char* nr, const char* ah,
                           const char* volt, const char* min, const char* heading,
                           const char* list) -> EndValueBlock {
        EndValueBlock block;
        block.title = label(m_frameAkkumesswerte, title, titleKey);
        // The single headings stay (hidden) for whoever reads them by name.
        QString texts[4];
        const char* names[4] = {nr, ah, volt, min};
        const char* keys[4] = {"0834", "0836", "0838", "0840"};
        for (int i = 0; i < 4; ++i) {
            QLabel* l = label(m_frameAkkumesswerte, names[i], keys[i]);
            l->hide();
            texts[i] = l->text();
        }
        block.heading = new QLabel(endValueHeadingLine(texts[0], texts[1], texts[2], texts[3]),
                                   m_frameAkkumesswerte);
        block.heading->setObjectName(QLatin1String(heading));
        block.heading->setFont(fixed);
        block.heading->setTextFormat(Qt::PlainText);
        block.list = new QListWidget(m_frameAkkumesswerte);
        block.list->setObjectName(QLatin1String(list));
        block.list->setFont(fixed);
        // Two lines; the list takes more where the window has room.
        block.list->setMinimumHeight(2 * QFontMetrics(fixed).lineSpacing() +
                                     2 * block.list->frameWidth() + 4);
        // The list grows to its longest line instead of scrolling sideways, so
        // the heading line above it always stands over its columns.
        block.list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        block.heading->setIndent(endValueTextOffset(block.list));
        return block;
    };
    m_laden = endwertList("lblMesswerteNachLaden", "0830", "lblLadenNr", "lblLadenAh",
                          "lblLadenVolt", "lblLadenMin", "lblLadenKopf", "lstEndwertLaden");
    m_entladen =
        endwertList("lblMesswerteNachEntladen", "0832", "lblEntladenNr", "lblEntladenAh",
                    "lblEntladenVolt", "lblEntladenMin", "lblEntladenKopf", "lstEndwertEntladen");
    m_lstLaden = m_laden.list;
    m_lstEntladen = m_entladen.list;
    fitEndValueList(m_lstLaden);
    fitEndValueList(m_lstEntladen);

    m_remarks = new QGridLayout;
    m_remarks->addWidget(label(m_frameAkkumesswerte, "lblBemerkungen", "0842"), 0, 0);
    m_remarks->addWidget(m_boxes[int(ChannelField::Bemerkung)] =
                             readOnlyBox(m_frameAkkumesswerte, "txtBemerkung"),
                         0, 1);
    m_remarks->addWidget(m_lblAkkuzustand = label(m_frameAkkumesswerte, "lblAkkuzustand", "0844"),
                         1, 0);
    m_remarks->addWidget(m_boxes[int(ChannelField::Akkuzustand)] =
                             readOnlyBox(m_frameAkkumesswerte, "txtAkkuzustand"),
                         1, 1);
    m_remarks->addWidget(
        m_lblSelbstentladung = label(m_frameAkkumesswerte, "lblSelbstentladung", "0850"), 2, 0);
    m_remarks->addWidget(m_boxes[int(ChannelField::Selbstentladung)] =
                             readOnlyBox(m_frameAkkumesswerte, "txtSelbstentladung"),
                         2, 1);
    m_remarks->setColumnStretch(1, 1);

    // The live curve, under the values; collapsed it costs the poll nothing but
    // keeping the values.
    // Its switch sits under the buttons, where every window shows it.
    m_curveToggle = new QToolButton(m_buttons);
    m_curveToggle->setObjectName(QStringLiteral("cmdKurve"));
    m_curveToggle->setCheckable(true);
    m_curveToggle->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_curveToggle->setArrowType(Qt::RightArrow);
    m_curveToggle->setAutoRaise(true);
    m_live = new LiveCurveChart(m_content);
    m_live->setMinimumHeight(kLiveCurveHeight);
    m_live->hide();
    m_curveFault = faultSign(m_live, "lblKurveFehler", &m_curveFaultText, false);
    m_curveFault->setAutoFillBackground(true);
    m_curveFault->move(8, 4);
    connect(m_curveToggle, &QToolButton::toggled, this, &ChannelWindow::showLiveCurve);
    m_buttonGrid->addWidget(m_curveToggle, 2, 0, 1, 2, Qt::AlignLeft);

    arrange(ChannelLayout::Column);
    m_scroll->setWidget(m_content);
    // Small enough for four windows side by side or stacked on a small screen;
    // the pane scrolls for the rest.
    setMinimumSize(160, 100);
}

// Column: everything under each other (windows side by side or alone). Row:
// a low, wide window (windows stacked): the buttons over the program on the
// left, the state and the two end-value lists next to them, so the state and
// the values show without scrolling.
void ChannelWindow::arrange(ChannelLayout layout) {
    m_layout = layout;
    const bool row = layout == ChannelLayout::Row;
    for (QWidget* w : {static_cast<QWidget*>(m_buttons), static_cast<QWidget*>(m_lblNotStored),
                       static_cast<QWidget*>(m_frameProgram),
                       static_cast<QWidget*>(m_frameAkkumesswerte), static_cast<QWidget*>(m_live)})
        m_top->removeWidget(w);
    for (int i = 0; i < 6; ++i)
        m_top->setRowStretch(i, 0);
    for (int i = 0; i < 2; ++i)
        m_top->setColumnStretch(i, 0);
    if (row) {
        m_top->addWidget(m_lblNotStored, 0, 0, 1, 2);
        m_top->addWidget(m_buttons, 1, 0);
        m_top->addWidget(m_frameProgram, 2, 0);
        m_top->addWidget(m_frameAkkumesswerte, 1, 1, 3, 1);
        m_top->addWidget(m_live, kCurveRow, 0, 1, 2);
        m_top->setColumnStretch(1, 1);
    } else {
        m_top->addWidget(m_buttons, 0, 0);
        m_top->addWidget(m_lblNotStored, 1, 0);
        m_top->addWidget(m_frameProgram, 2, 0);
        m_top->addWidget(m_frameAkkumesswerte, 3, 0);
        m_top->addWidget(m_live, kCurveRow, 0);
        m_top->setColumnStretch(0, 1);
    }
    shareHeight();

    // In a low window every line of height counts: the values two by two, the
    // state beside the capacity, and narrower margins.
    QWidget* state = box(ChannelField::Status);
    m_statusGrid->removeWidget(state);
    m_statusGrid->removeWidget(m_faultPane);
    for (const auto& [l, value] : m_statusRows) {
        m_statusGrid->removeWidget(l);
        m_statusGrid->removeWidget(value);
    }
    for (int i = 0; i < 4; ++i) {
        m_statusGrid->setRowStretch(i, 0);
        m_statusGrid->setColumnStretch(i, 0);
    }
    for (int i = 0; i < m_statusRows.size(); ++i) {
        const int r = row ? i / 2 : i;
        const int c = row ? 2 * (i % 2) : 0;
        m_statusGrid->addWidget(m_statusRows[i].first, r, c);
        m_statusGrid->addWidget(m_statusRows[i].second, r, c + 1);
    }
    for (QWidget* w : {state, m_faultPane}) {
        if (row)
            m_statusGrid->addWidget(w, 1, 2, 1, 2);
        else
            m_statusGrid->addWidget(w, int(m_statusRows.size()), 0, 1, 2);
    }
    m_statusGrid->setColumnStretch(1, 1);
    m_statusGrid->setColumnStretch(3, row ? 1 : 0);
    m_statusGrid->setRowStretch(row ? 2 : int(m_statusRows.size()) + 1, 1);
    const int margin = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    const int tight = row ? std::min(margin, 4) : margin;
    for (QGridLayout* grid : {m_mv, m_statusGrid}) {
        grid->setContentsMargins(margin, tight, margin, tight);
        grid->setVerticalSpacing(row ? std::min(tight, grid->verticalSpacing()) : -1);
    }
    // The value boxes a little closer: a fault's two lines in place of the state
    // then still fit a quarter of a 1366x768 screen without a scroll bar.
    if (!row)
        m_statusGrid->setVerticalSpacing(4);

    m_mv->removeWidget(m_frameStatus);
    for (const EndValueBlock* b : {&m_laden, &m_entladen})
        for (QWidget* w : {static_cast<QWidget*>(b->title), static_cast<QWidget*>(b->heading),
                           static_cast<QWidget*>(b->list)})
            m_mv->removeWidget(w);
    m_mv->removeItem(m_remarks);
    m_remarks->setParent(nullptr); // re-added below
    for (int i = 0; i < 8; ++i)
        m_mv->setRowStretch(i, 0);
    for (int i = 0; i < 3; ++i)
        m_mv->setColumnStretch(i, 0);
    if (row) {
        m_mv->addWidget(m_frameStatus, 0, 0, 4, 1);
        int column = 1;
        for (const EndValueBlock* b : {&m_laden, &m_entladen}) {
            m_mv->addWidget(b->title, 0, column);
            m_mv->addWidget(b->heading, 1, column);
            m_mv->addWidget(b->list, 2, column);
            m_mv->setColumnStretch(column++, 1);
        }
        m_mv->addLayout(m_remarks, 3, 1, 1, 2);
        m_mv->setRowStretch(2, 1);
    } else {
        m_mv->addWidget(m_frameStatus, 0, 0);
        int r = 1;
        for (const EndValueBlock* b : {&m_laden, &m_entladen}) {
            m_mv->addWidget(b->title, r++, 0);
            m_mv->addWidget(b->heading, r++, 0);
            m_mv->setRowStretch(r, 1);
            m_mv->addWidget(b->list, r++, 0);
        }
        m_mv->addLayout(m_remarks, r, 0);
        m_mv->setColumnStretch(0, 1);
    }
}

// The room the window has beyond what its controls need: the open curve takes
// all of it, else the values (their lists) do. An empty row that stretched
// would leave the room blank.
void ChannelWindow::shareHeight() {
    const bool curve = !m_live->isHidden();
    m_top->setRowStretch(kValuesRow, curve ? 0 : 1);
    m_top->setRowStretch(kCurveRow, curve ? 1 : 0);
    // With the curve open the lists keep a few lines and leave the rest to it.
    for (QListWidget* list : {m_lstLaden, m_lstEntladen})
        list->setMaximumHeight(curve ? 2 * list->minimumHeight() : QWIDGETSIZE_MAX);
}

ChannelLayout ChannelWindow::layoutFor(QSize size) const {
    // Low and wide enough for the row: the narrow form would show little more
    // than the buttons and the program.
    const int columnWidth = m_columnMinWidth > 0 ? m_columnMinWidth : 300;
    return size.width() >= 2 * size.height() && size.width() >= 3 * columnWidth
               ? ChannelLayout::Row
               : ChannelLayout::Column;
}

void ChannelWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_columnMinWidth == 0 && m_layout == ChannelLayout::Column)
        m_columnMinWidth = m_content->minimumSizeHint().width();
    const ChannelLayout wanted = layoutFor(event->size());
    if (wanted != m_layout)
        arrange(wanted);
    if (m_fault) {
        QPointer<ChannelWindow> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self)
                self->placeCurveFault(); // once the layout has given the curve its width
        });
    }
}

void ChannelWindow::showLiveCurve(bool show) {
    if (show == m_live->isVisible())
        return;
    m_curveToggle->setChecked(show);
    m_curveToggle->setArrowType(show ? Qt::DownArrow : Qt::RightArrow);
    m_live->setVisible(show);
    shareHeight();
    // The curve takes the room the window has free. Where that is too little,
    // the sub-window grows into the free part of the main area below it, never
    // past its edge; what still does not fit scrolls, and the curve with its
    // time axis is scrolled into view.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (show) {
        m_content->layout()->activate();
        const int missing = m_content->minimumSizeHint().height() - m_scroll->viewport()->height();
        if (sub && sub->parentWidget() && missing > 0 && !sub->isMaximized()) {
            const int below = sub->parentWidget()->height() - (sub->geometry().bottom() + 1);
            m_grownBy = std::max(0, std::min(missing, below));
            sub->resize(sub->width(), sub->height() + m_grownBy);
        }
        QPointer<ChannelWindow> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self && !self->m_live->isHidden()) {
                self->m_scroll->ensureWidgetVisible(self->m_live, 0, 0);
                self->placeCurveFault();
            }
        });
        m_live->replot(QCustomPlot::rpQueuedReplot);
    } else if (m_grownBy > 0) {
        if (sub && !sub->isMaximized())
            sub->resize(sub->width(), sub->height() - m_grownBy);
        m_grownBy = 0;
    }
}

void ChannelWindow::follow(const ChannelSnapshot& snapshot) {
    if (snapshot.channelCode != m_code || snapshot.readings == m_readings)
        return;
    m_readings = snapshot.readings;
    if (LiveCurve::takesValue(snapshot.answerType, snapshot.stateCode) && snapshot.tempSeriesUsed) {
        SeriesSample sample;
        sample.seconds = qint32(secondsSince(snapshot.tempSeriesStart, snapshot.readAt));
        sample.millivolt = snapshot.voltageMv;
        sample.milliampere = snapshot.currentMa;
        sample.milliampereHours = snapshot.capacityMah;
        m_live->addValue(snapshot.tempSeriesId, sample);
    }
}

void ChannelWindow::setCaptions() {
    setWindowTitle(m_session.text(captionKey(m_code)));
    m_frameAkkumesswerte->setTitle(controller().headingWithoutRecording());
    m_curveToggle->setText(m_session.text(QStringLiteral("2270")));
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
        m_session.prompter().notify(QStringLiteral("channel-fault-") + m_code, box);
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

// The heartbeat lights the caption in the highlight colour: red belongs to faults.
void ChannelWindow::setHeartbeat(bool lit) {
    m_frameStatus->setStyleSheet(lit ? QStringLiteral("QGroupBox#frameStatus::title { color: %1; }")
                                           .arg(palette().color(QPalette::Highlight).name())
                                     : QString());
}

// A fault takes the state box's place with its sign and its whole text, and
// marks the live curve; the box keeps the text for whoever reads it.
void ChannelWindow::setFaultState(bool fault) {
    m_fault = fault;
    const QString state = text(ChannelField::Status);
    m_faultText->setText(state);
    m_curveFaultText->setText(state);
    box(ChannelField::Status)->setVisible(!fault);
    m_faultPane->setVisible(fault);
    m_curveFault->setVisible(fault);
    placeCurveFault();
}

// The fault's sign over the top of the curve, as wide as the curve.
void ChannelWindow::placeCurveFault() {
    if (m_curveFault->isHidden())
        return;
    const int width = std::max(80, m_live->width() - 16);
    const int height = m_curveFault->heightForWidth(width);
    m_curveFault->setGeometry(8, 4, width, height > 0 ? height : m_curveFault->sizeHint().height());
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
    fitEndValueList(m_lstLaden);
    fitEndValueList(m_lstEntladen);
}

// The program editor of the channel; a program the charger reports while it is
// open goes to the editor. Programs sent to other channels reset their windows.
void ChannelWindow::openProgram() {
    ChannelController& channel = controller();
    ChannelProgramContext context;
    context.channel = m_code;
    context.program = &channel.program();
    context.link = channel.link();
    context.resetChannels = [this](const QStringList& codes) {
        for (const QString& code : codes)
            if (ChannelController* other = m_board.controller(code))
                other->resetForNewProgram();
    };
    context.programChangedFromOutside = &channel.programChangedFromOutside;
    channel.beginProgramDialog();
    openProgramEditor(this, m_session, context);
    channel.endProgramDialog();
}

void ChannelWindow::openCapture() {
    ControllerCaptureChannel channel(controller());
    if (m_main)
        openCaptureDialog(channel, m_main->batteryUsage(), m_main->batteriesContext(), this);
}

// The temporary series of the channel: the one just ended while the channel
// rests after a process, else the running one.
void ChannelWindow::openDiagram() {
    const ChargerState state = controller().status().state();
    const qint32 series = (state == ChargerState::Idle || state == ChargerState::Trickle ||
                           state == ChargerState::Finished)
                              ? controller().previousTempSeriesId()
                              : controller().tempSeriesId();
    startDiagram(series, 0);
}

void ChannelWindow::openEndValueDiagram(QListWidgetItem* item) {
    if (!item)
        return;
    const ChargerState state = controller().status().state();
    const qint32 previous = controller().previousTempSeriesId();
    const qint32 series =
        (previous != -1 && (state == ChargerState::Idle || state == ChargerState::Finished))
            ? previous
            : controller().tempSeriesId();
    startDiagram(series, item->data(Qt::UserRole).toInt());
}

// One opening at a time per window: the busy flag holds until the diagram is
// shown or given up.
void ChannelWindow::startDiagram(qint32 series, qint32 endValueId) {
    if (!m_main || !controller().tryBeginDiagram())
        return;
    QPointer<ChannelWindow> self(this);
    m_main->openDiagram(
        series, endValueId,
        [self](bool) {
            if (self)
                self->controller().endDiagram();
        },
        this,
        [self]() -> const ProgramRecord* {
            return self ? &self->controller().program() : nullptr;
        });
}

// The channel report with the program the channel runs, without a diagram.
void ChannelWindow::printReport() {
    printReportTo(false);
}

void ChannelWindow::printReportTo(bool toPdf) {
    if (m_main)
        m_main->printReport(this, &controller().program(), toPdf);
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
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && sub != m_watchedSub) {
        m_watchedSub = sub;
        // While this window is active, the main window's print entries print its report.
        QPointer<ChannelWindow> self(this);
        watchSubWindowActivation(sub, [self] {
            if (self && self->m_main)
                self->m_main->windowActivated(self, [self](bool toPdf) {
                    if (self)
                        self->printReportTo(toPdf);
                });
        });
    }
}

} // namespace velmara
