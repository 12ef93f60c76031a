#include "exchange/ui/seriesexportdialog.h"

#include "base/core/dateformat.h"
#include "base/widgets/dialogrow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

SeriesExportDialog::SeriesExportDialog(BatteryStore& store,
                                       const std::function<QString(const QString&)>& text,
                                       const QString& language, QWidget* parent)
    : QDialog(parent), m_store(store), m_language(language) {
    setObjectName(QStringLiteral("dlgExport"));
    setWindowTitle(text(QStringLiteral("2210")));
    auto* top = new QVBoxLayout(this);
    top->addWidget(named(new QLabel(text(QStringLiteral("2212")), this), "lblAkku"));
    top->addWidget(m_battery = named(new QComboBox(this), "cboAkku"));
    top->addWidget(named(new QLabel(text(QStringLiteral("2214")), this), "lblMessreihe"));
    top->addWidget(m_list = named(new QListWidget(this), "lstMessreihen"));
    top->addWidget(m_all = named(new QCheckBox(text(QStringLiteral("2216")), this), "chkAlle"));
    top->addWidget(named(new QLabel(text(QStringLiteral("2218")), this), "lblTrennzeichen"));
    top->addWidget(m_separator = named(new QComboBox(this), "cboTrennzeichen"));
    for (const char* key : {"2220", "2222", "2224", "2226"})
        m_separator->addItem(text(QLatin1String(key)));

    QPushButton* ok =
        addOkCancelRow(this, top, text(QStringLiteral("0100")), text(QStringLiteral("0101")));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    m_batteries = m_store.batteries();
    for (const BatteryRow& b : m_batteries)
        m_battery->addItem(b.name, b.id);
    connect(m_battery, &QComboBox::currentIndexChanged, this, [this] { fillSeries(); });
    connect(m_all, &QCheckBox::toggled, m_list, &QWidget::setDisabled);
    fillSeries();
}

void SeriesExportDialog::fillSeries() {
    m_list->clear();
    m_series.clear();
    if (m_battery->currentIndex() < 0)
        return;
    m_series = m_store.series(m_battery->currentData().toInt());
    for (const SeriesRow& s : m_series) {
        QString line = QString::number(s.number);
        if (s.created.isValid())
            line += QStringLiteral("  ") + formatDateTime(s.created, m_language);
        if (!s.remark.isEmpty())
            line += QStringLiteral("  ") + s.remark;
        auto* item = new QListWidgetItem(line, m_list);
        item->setData(Qt::UserRole, s.id);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(m_list->count() - 1);
}

QVector<qint32> SeriesExportDialog::chosenSeries() const {
    QVector<qint32> ids;
    if (m_all->isChecked()) {
        for (const SeriesRow& s : m_series)
            ids << s.id;
    } else if (const QListWidgetItem* item = m_list->currentItem()) {
        ids << item->data(Qt::UserRole).toInt();
    }
    return ids;
}

bool SeriesExportDialog::allOfBattery() const {
    return m_all->isChecked();
}

SeparatorChoice SeriesExportDialog::separator() const {
    switch (m_separator->currentIndex()) {
    case 1:
        return SeparatorChoice::Semicolon;
    case 2:
        return SeparatorChoice::Comma;
    case 3:
        return SeparatorChoice::Tab;
    default:
        return SeparatorChoice::Locale;
    }
}

QString SeriesExportDialog::batteryName() const {
    return m_battery->currentText();
}

} // namespace velmara
