#include "batteries/ui/capturedialog.h"

#include "base/core/dateformat.h"
#include "base/widgets/modal.h"
#include "base/widgets/placewindow.h"
#include "batteries/core/capturechannel.h"
#include "batteries/ui/batteryhistorywindow.h"
#include "batteries/ui/newbatterydialog.h"
#include "batteries/ui/newseriesdialog.h"
#include "batteries/ui/storedserieswindow.h"
#include "data/stores/userstores.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velmara {

namespace {
enum Column { ColNumber, ColRemark, ColMode, ColDate, ColStation, ColId, ColumnCount };
} // namespace

CaptureDialog::CaptureDialog(std::shared_ptr<const BatteriesContext> context,
                             std::shared_ptr<BatteryUsage> usage, CaptureChannel* channel,
                             QWidget* parent)
    : QDialog(parent), m_context(std::move(context)), m_usage(std::move(usage)) {
    setObjectName(QStringLiteral("dlgMesswerteErfassen"));
    m_store = std::make_unique<BatteryStore>(m_context->stores->batteries());
    AskFunction ask = m_context->ask;
    if (!ask && m_context->prompter)
        ask = [prompter = m_context->prompter](const Message& m) { return prompter->show(m); };
    m_model = std::make_unique<CaptureModel>(*m_store, *m_usage, channel, m_context->text, ask);
    m_model->seriesDeleted = [this](qint32 id) { closeWindowsOf(id); };
    build();
}

CaptureDialog::~CaptureDialog() = default;

void CaptureDialog::build() {
    const TextLookup& text = m_context->text;
    auto button = [&](const char* name, const char* key) {
        auto* b = new QPushButton(text(QLatin1String(key)), this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    setWindowTitle(text(QStringLiteral("0700")));
    auto* top = new QVBoxLayout(this);

    m_captureLabel = new QLabel(text(QStringLiteral("0702")), this);
    m_captureLabel->setObjectName(QStringLiteral("lblMesswerteErfassen"));
    m_managementLabel = new QLabel(text(QStringLiteral("0732")), this);
    m_managementLabel->setObjectName(QStringLiteral("lblMessVerwaltung"));
    top->addWidget(m_captureLabel);
    top->addWidget(m_managementLabel);

    m_batteries = new QComboBox(this);
    m_batteries->setObjectName(QStringLiteral("cboAkkus"));
    top->addWidget(m_batteries);

    auto* gridCaption = new QLabel(text(QStringLiteral("0710")), this);
    gridCaption->setObjectName(QStringLiteral("lblGrid"));
    top->addWidget(gridCaption);
    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("dbGrid"));
    m_grid->setHorizontalHeaderLabels({text(QStringLiteral("0712")), text(QStringLiteral("0714")),
                                       text(QStringLiteral("0716")), text(QStringLiteral("0718")),
                                       text(QStringLiteral("4924")),
                                       QStringLiteral("MessReiheID")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    // The series' key is the grid's own business, not the user's.
    m_grid->setColumnHidden(ColId, true);
    // Number, mode, date and id keep their whole text on one line; the remark takes the rest.
    m_grid->setWordWrap(false);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setSectionResizeMode(ColRemark, QHeaderView::Stretch);
    top->addWidget(m_grid, 1);

    m_frame = new QGroupBox(text(QStringLiteral("0720")), this);
    m_frame->setObjectName(QStringLiteral("frameErfassung"));
    auto* fl = new QHBoxLayout(m_frame);
    m_immediate = new QRadioButton(text(QStringLiteral("0724")), m_frame);
    m_immediate->setObjectName(QStringLiteral("optSofort"));
    m_next = new QRadioButton(text(QStringLiteral("0722")), m_frame);
    m_next->setObjectName(QStringLiteral("optNaechster"));
    fl->addWidget(m_immediate);
    fl->addWidget(m_next);
    top->addWidget(m_frame);

    auto* captureRow = new QHBoxLayout;
    captureRow->addWidget(m_newBattery = button("cmdNeuerAkku", "0704"));
    captureRow->addWidget(m_newSeries = button("cmdNeueMessreihe", "0706"));
    captureRow->addWidget(m_end = button("cmdKeineErfassung", "0708"));
    top->addLayout(captureRow);
    auto* managementRow = new QHBoxLayout;
    managementRow->addWidget(m_showSeries = button("cmdMessReiheAnzeigen", "0736"));
    managementRow->addWidget(m_deleteSeries = button("cmdMessReiheLoeschen", "0734"));
    managementRow->addWidget(m_deleteBattery = button("cmdAkkuLoeschen", "0738"));
    managementRow->addWidget(m_history = button("cmdVerlauf", "2250"));
    top->addLayout(managementRow);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(m_cancel = button("cmdCancel", "0101"));
    top->addLayout(closeRow);

    connect(m_batteries, &QComboBox::currentIndexChanged, this, &CaptureDialog::onBatteryChosen);
    connect(m_immediate, &QRadioButton::toggled, this, [this](bool on) {
        if (!m_filling)
            m_model->setImmediate(on);
    });
    connect(m_newBattery, &QPushButton::clicked, this, &CaptureDialog::onNewBattery);
    connect(m_newSeries, &QPushButton::clicked, this, &CaptureDialog::onNewSeries);
    connect(m_end, &QPushButton::clicked, this, &CaptureDialog::onEndCapture);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_showSeries, &QPushButton::clicked, this, &CaptureDialog::onShowSeries);
    connect(m_deleteSeries, &QPushButton::clicked, this, &CaptureDialog::onDeleteSeries);
    connect(m_deleteBattery, &QPushButton::clicked, this, &CaptureDialog::onDeleteBattery);
    connect(m_history, &QPushButton::clicked, this, &CaptureDialog::onHistory);
    resize(640, 420);
}

bool CaptureDialog::initializeDialog() {
    const bool show = m_model->initialize();
    refresh();
    return show;
}

void CaptureDialog::refresh() {
    const CaptureControls& c = m_model->controls();
    setWindowTitle(m_model->title());
    for (QWidget* w : {static_cast<QWidget*>(m_newBattery), static_cast<QWidget*>(m_newSeries),
                       static_cast<QWidget*>(m_end), static_cast<QWidget*>(m_frame),
                       static_cast<QWidget*>(m_captureLabel)})
        w->setVisible(c.captureVisible);
    for (QWidget* w : {static_cast<QWidget*>(m_showSeries), static_cast<QWidget*>(m_deleteSeries),
                       static_cast<QWidget*>(m_deleteBattery),
                       static_cast<QWidget*>(m_managementLabel), static_cast<QWidget*>(m_history)})
        w->setVisible(c.managementVisible);
    m_filling = true;
    m_immediate->setChecked(c.immediate);
    m_next->setChecked(!c.immediate);
    m_filling = false;
    m_immediate->setEnabled(c.immediateEnabled);
    m_next->setEnabled(c.nextEnabled);
    m_frame->setEnabled(c.frameEnabled);
    m_end->setEnabled(c.endEnabled);
    m_newSeries->setEnabled(c.newSeriesEnabled);
    m_newBattery->setEnabled(c.newBatteryEnabled);
    m_cancel->setText(m_context->text(c.cancelKey));
    fillBatteries();
    fillSeries();
}

void CaptureDialog::fillBatteries() {
    m_filling = true;
    m_batteries->clear();
    for (const BatteryRow& row : m_model->batteries())
        m_batteries->addItem(row.name, row.id);
    m_batteries->setCurrentIndex(m_batteries->findData(m_model->selectedBatteryId()));
    const BatteryRow* chosen = m_model->selectedBattery();
    m_batteries->setToolTip(chosen ? chosen->remark : QString());
    m_filling = false;
}

void CaptureDialog::fillSeries() {
    const QVector<SeriesRow>& rows = m_model->series();
    m_grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const SeriesRow& s = rows[r];
        const QString date =
            s.created.isValid() ? formatDateTime(s.created, m_context->language) : s.createdText;
        const QStringList cells = {QString::number(s.number),
                                   s.remark,
                                   m_context->references.modeName(s.mode),
                                   date,
                                   stationText(s.station, s.channel),
                                   QString::number(s.id)};
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == ColNumber || c == ColId)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
    if (!rows.isEmpty())
        m_grid->selectRow(0);
}

qint32 CaptureDialog::currentSeriesId() const {
    const int row = m_grid->currentRow();
    const QTableWidgetItem* item = row >= 0 ? m_grid->item(row, ColId) : nullptr;
    bool ok = false;
    const qint32 id = item ? item->text().toInt(&ok) : 0;
    return ok ? id : -1;
}

void CaptureDialog::onBatteryChosen(int index) {
    if (m_filling)
        return;
    m_model->selectBattery(index < 0 ? -1 : m_batteries->itemData(index).toInt());
    refresh();
}

void CaptureDialog::onNewBattery() {
    NewBatteryDialog dialog(
        m_context->text, m_context->maxBatteryRemark, m_context->maxSeriesRemark,
        [this](const QString& name) { return m_model->acceptNewBatteryName(name); }, this);
    if (!m_context->prompter || execModal(*m_context->prompter, &dialog) != QDialog::Accepted)
        return;
    m_model->addNewBattery(dialog.name(), dialog.batteryRemark(), dialog.seriesRemark());
    refresh();
}

void CaptureDialog::onNewSeries() {
    if (!m_model->newSeriesAllowed())
        return;
    NewSeriesDialog dialog(m_context->text, m_context->maxSeriesRemark, this);
    if (!m_context->prompter || execModal(*m_context->prompter, &dialog) != QDialog::Accepted)
        return;
    m_model->addNewSeries(dialog.remark());
    refresh();
}

void CaptureDialog::onEndCapture() {
    m_model->endCapture();
    refresh();
}

void CaptureDialog::onShowSeries() {
    const int row = m_grid->currentRow();
    const qint32 id = currentSeriesId();
    const BatteryRow* battery = m_model->selectedBattery();
    if (row < 0 || id < 0 || !battery)
        return;
    StoredSeriesSource source;
    source.seriesId = id;
    source.batteryName = battery->name;
    source.seriesNumber = m_grid->item(row, ColNumber)->text();
    source.remark = m_grid->item(row, ColRemark)->text();
    auto* window = new StoredSeriesWindow(source, m_context, this);
    const int alreadyOpen = int(seriesWindows().size());
    m_windows.append(window);
    window->reload();
    placeWindow(window, this, alreadyOpen);
    window->show();
}

void CaptureDialog::onDeleteSeries() {
    const qint32 id = currentSeriesId();
    if (id < 0)
        return;
    m_model->deleteSeries(id);
    refresh();
}

void CaptureDialog::onDeleteBattery() {
    m_model->deleteSelectedBattery();
    refresh();
}

void CaptureDialog::onHistory() {
    if (m_model->selectedBattery() && m_context->stores)
        openBatteryHistoryWindow(*m_context->stores, m_model->selectedBatteryId(), m_context->text,
                                 this, m_context->language);
}

void CaptureDialog::closeWindowsOf(qint32 seriesId) {
    for (const auto& window : std::as_const(m_windows))
        if (window && window->seriesId() == seriesId)
            window->close();
    m_windows.removeIf([](const QPointer<StoredSeriesWindow>& w) { return w.isNull(); });
}

QList<StoredSeriesWindow*> CaptureDialog::seriesWindows() const {
    QList<StoredSeriesWindow*> open;
    for (const auto& window : m_windows)
        if (window && window->isVisible())
            open << window.data();
    return open;
}

} // namespace velmara
