#include "batteries/ui/storedserieswindow.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmara {

namespace {

QLineEdit* readOnlyBox(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    return e;
}

} // namespace

StoredSeriesWindow::StoredSeriesWindow(const StoredSeriesSource& source,
                                       std::shared_ptr<const BatteriesContext> context,
                                       QWidget* owner)
    : QWidget(owner, Qt::Window), m_source(source), m_context(std::move(context)) {
    setObjectName(QStringLiteral("frmKanalBearbeiten"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_view.program = std::make_shared<ProgramRecord>();
    m_view.endValues = std::make_shared<EndValueList>();
    build();
    // Room for a few end values without filling a small screen; the opener
    // places it (placeWindow), never below what its layout needs.
    resize(sizeHint().boundedTo(QSize(560, 620)));
}

StoredSeriesWindow::~StoredSeriesWindow() = default;

void StoredSeriesWindow::build() {
    const TextLookup& text = m_context->text;
    auto label = [&](QWidget* parent, const char* name, const char* key) {
        auto* l = new QLabel(text(QLatin1String(key)), parent);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto button = [&](const char* name, const char* key, bool available) {
        auto* b = new QPushButton(text(QLatin1String(key)), this);
        b->setObjectName(QLatin1String(name));
        b->setEnabled(available);
        return b;
    };
    setWindowTitle(text(QStringLiteral("0800")));
    auto* top = new QVBoxLayout(this);

    const StoredSeriesHooks& hooks = m_context->hooks;
    auto* buttons = new QGridLayout;
    auto* cmdProgram = button("cmdProgram", "0802", bool(hooks.showProgram));
    auto* cmdDiagramme = button("cmdDiagramme", "0808", bool(hooks.diagram));
    auto* cmdDruck = button("cmdDruck", "0806", bool(hooks.print));
    buttons->addWidget(cmdProgram, 0, 0);
    buttons->addWidget(cmdDiagramme, 0, 1);
    auto* cmdPdf = button("cmdPdf", "9042", bool(hooks.exportPdf));
    buttons->addWidget(cmdDruck, 1, 0);
    buttons->addWidget(cmdPdf, 1, 1);
    top->addLayout(buttons);

    auto* frameProgram = new QGroupBox(text(QStringLiteral("0810")), this);
    frameProgram->setObjectName(QStringLiteral("frameAkkuprogramm"));
    auto* pg = new QGridLayout(frameProgram);
    pg->addWidget(label(frameProgram, "lblAkkutyp", "0812"), 0, 0);
    pg->addWidget(m_type = readOnlyBox(frameProgram, "txtAkkuTyp"), 0, 1);
    pg->addWidget(label(frameProgram, "lblMode", "0814"), 1, 0);
    pg->addWidget(m_mode = readOnlyBox(frameProgram, "txtMode"), 1, 1);
    pg->addWidget(label(frameProgram, "lblNennkapazitaet", "0816"), 2, 0);
    pg->addWidget(m_capacity = readOnlyBox(frameProgram, "txtNennKapazitaet"), 2, 1);
    pg->setColumnStretch(1, 1);
    top->addWidget(frameProgram);

    m_frameMesswerte = new QGroupBox(
        text(QStringLiteral("0818")) + QStringLiteral(" - ") + text(QStringLiteral("0820")), this);
    m_frameMesswerte->setObjectName(QStringLiteral("frameAkkumesswerte"));
    auto* mv = new QVBoxLayout(m_frameMesswerte);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto endValueList = [&](const char* title, const char* titleKey, const char* nr, const char* ah,
                            const char* volt, const char* min, const char* name) {
        mv->addWidget(label(m_frameMesswerte, title, titleKey));
        auto* heads = new QHBoxLayout;
        heads->addWidget(label(m_frameMesswerte, nr, "0834"));
        heads->addWidget(label(m_frameMesswerte, ah, "0836"));
        heads->addWidget(label(m_frameMesswerte, volt, "0838"));
        heads->addWidget(label(m_frameMesswerte, min, "0840"));
        mv->addLayout(heads);
        auto* list = new QListWidget(m_frameMesswerte);
        list->setObjectName(QLatin1String(name));
        list->setFont(fixed);
        // A line of 30 characters in full, and a few lines of it.
        list->setMinimumSize(QFontMetrics(fixed).horizontalAdvance(QString(34, QLatin1Char('0'))),
                             QFontMetrics(fixed).lineSpacing() * 4 + 2 * list->frameWidth());
        mv->addWidget(list, 1);
        connect(list, &QListWidget::itemDoubleClicked, this,
                &StoredSeriesWindow::onListDoubleClick);
        return list;
    };
    m_charge = endValueList("lblMesswerteNachLaden", "0830", "lblLadenNr", "lblLadenAh",
                            "lblLadenVolt", "lblLadenMin", "lstEndwertLaden");
    m_discharge = endValueList("lblMesswerteNachEntladen", "0832", "lblEntladenNr", "lblEntladenAh",
                               "lblEntladenVolt", "lblEntladenMin", "lstEndwertEntladen");
    auto* bg = new QGridLayout;
    bg->addWidget(label(m_frameMesswerte, "lblBemerkungen", "0842"), 0, 0);
    bg->addWidget(m_remark = readOnlyBox(m_frameMesswerte, "txtBemerkung"), 0, 1);
    bg->addWidget(m_lblState = label(m_frameMesswerte, "lblAkkuzustand", "0844"), 1, 0);
    bg->addWidget(m_state = readOnlyBox(m_frameMesswerte, "txtAkkuzustand"), 1, 1);
    bg->addWidget(m_lblSelfDischarge = label(m_frameMesswerte, "lblSelbstentladung", "0850"), 2, 0);
    bg->addWidget(m_selfDischarge = readOnlyBox(m_frameMesswerte, "txtSelbstentladung"), 2, 1);
    bg->setColumnStretch(1, 1);
    mv->addLayout(bg);
    top->addWidget(m_frameMesswerte, 1);

    auto* cmdOk = new QPushButton(text(QStringLiteral("0100")), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    auto* okRow = new QHBoxLayout;
    okRow->addStretch(1);
    okRow->addWidget(cmdOk);
    top->addLayout(okRow);

    connect(cmdOk, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdDiagramme, &QPushButton::clicked, this, [this] { openDiagram(0); });
    connect(cmdDruck, &QPushButton::clicked, this, [this] {
        if (m_context->hooks.print)
            m_context->hooks.print(this, m_view.program);
    });
    connect(cmdPdf, &QPushButton::clicked, this, [this] {
        if (m_context->hooks.exportPdf)
            m_context->hooks.exportPdf(this, m_view.program);
    });
    connect(cmdProgram, &QPushButton::clicked, this, [this] {
        if (m_context->hooks.showProgram)
            m_context->hooks.showProgram(m_view.program);
    });
}

void StoredSeriesWindow::reload() {
    if (m_closing)
        return;
    if (!m_context->stores) {
        display(StoredSeriesView());
        return;
    }
    StoredSeriesReader reader(*m_context->stores, m_context->references, m_context->text,
                              m_context->log);
    StoredSeriesView view = reader.read(m_source);
    if (!view.found) {
        // The series was deleted while the window was open: nothing left to show.
        m_closing = true;
        QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    display(view);
}

void StoredSeriesWindow::display(const StoredSeriesView& view) {
    // Top-level windows read "velmara - what they show".
    setWindowTitle(m_context->text(QStringLiteral("0001")) + QStringLiteral(" - ") + view.heading);
    m_frameMesswerte->setTitle(view.heading);
    m_type->setText(view.batteryType);
    m_mode->setText(view.mode);
    m_capacity->setText(view.nominalCapacity);
    auto fill = [](QListWidget* list, const QList<EndValueLine>& lines) {
        list->clear();
        for (const EndValueLine& line : lines) {
            auto* item = new QListWidgetItem(line.text, list);
            item->setData(Qt::UserRole, line.valueId);
        }
    };
    fill(m_charge, view.chargeLines);
    fill(m_discharge, view.dischargeLines);
    if (view.batteryState != FieldShow::Keep) {
        const bool shown = view.batteryState == FieldShow::Shown;
        m_lblState->setVisible(shown);
        m_state->setVisible(shown);
        m_state->setText(view.batteryStateText);
    }
    if (view.selfDischarge != FieldShow::Keep) {
        const bool shown = view.selfDischarge == FieldShow::Shown;
        m_lblSelfDischarge->setVisible(shown);
        m_selfDischarge->setVisible(shown);
        m_selfDischarge->setText(view.selfDischargeText);
    }
    m_remark->setText(view.remark);
    m_view = view;
    if (!m_view.program)
        m_view.program = std::make_shared<ProgramRecord>();
}

void StoredSeriesWindow::openDiagram(qint32 endValueId) {
    if (m_diagramBusy || !m_context->hooks.diagram)
        return;
    m_diagramBusy = true;
    QPointer<StoredSeriesWindow> self(this);
    m_context->hooks.diagram(this, m_source.seriesId, endValueId, m_view.program, [self] {
        if (self)
            self->m_diagramBusy = false;
    });
}

void StoredSeriesWindow::onListDoubleClick(QListWidgetItem* item) {
    if (!item || m_diagramBusy)
        return;
    openDiagram(item->data(Qt::UserRole).toInt());
}

void StoredSeriesWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (m_context->hooks.activated)
            m_context->hooks.activated(this);
        reload();
    }
}

void StoredSeriesWindow::closeEvent(QCloseEvent* event) {
    m_closing = true;
    if (m_context->hooks.closed)
        m_context->hooks.closed(this);
    QWidget::closeEvent(event);
}

} // namespace velmara
