#include "exchange/ui/seriesimportdialog.h"

#include "base/widgets/dialogrow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmara {

SeriesImportDialog::SeriesImportDialog(BatteryStore& store, const QString& nameInFile,
                                       const std::function<QString(const QString&)>& text,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgImport"));
    setWindowTitle(text(QStringLiteral("2238")));
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_existing =
                       named(new QRadioButton(text(QStringLiteral("2212")), this), "optAkku"));
    top->addWidget(m_battery = named(new QComboBox(this), "cboAkku"));
    top->addWidget(m_new =
                       named(new QRadioButton(text(QStringLiteral("2240")), this), "optNeuerAkku"));
    top->addWidget(m_name = named(new QLineEdit(this), "txtName"));

    QPushButton* ok =
        addOkCancelRow(this, top, text(QStringLiteral("0100")), text(QStringLiteral("0101")));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    int match = -1;
    for (const BatteryRow& b : store.batteries()) {
        if (b.name == nameInFile)
            match = m_battery->count();
        m_battery->addItem(b.name, b.id);
    }
    connect(m_existing, &QRadioButton::toggled, m_battery, &QWidget::setEnabled);
    connect(m_new, &QRadioButton::toggled, m_name, &QWidget::setEnabled);
    m_existing->setEnabled(m_battery->count() > 0);
    if (match >= 0) {
        m_battery->setCurrentIndex(match);
        m_existing->setChecked(true);
        m_name->setEnabled(false);
    } else {
        m_name->setText(nameInFile);
        m_new->setChecked(true);
        m_battery->setEnabled(false);
    }
}

ImportTarget SeriesImportDialog::target() const {
    ImportTarget t;
    if (m_existing->isChecked() && m_battery->currentIndex() >= 0)
        t.batteryId = m_battery->currentData().toInt();
    else
        t.newBatteryName = m_name->text();
    return t;
}

} // namespace velmara
