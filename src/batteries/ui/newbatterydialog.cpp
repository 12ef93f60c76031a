#include "batteries/ui/newbatterydialog.h"

#include "base/widgets/dialogrow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

NewBatteryDialog::NewBatteryDialog(const TextLookup& text, int maxBatteryRemark,
                                   int maxSeriesRemark,
                                   std::function<bool(const QString&)> acceptName, QWidget* parent)
    : QDialog(parent), m_acceptName(std::move(acceptName)) {
    setObjectName(QStringLiteral("dlgNeuerAkku"));
    setWindowTitle(text(QStringLiteral("0500")));
    auto* top = new QVBoxLayout(this);

    auto* frameAkku = named(new QGroupBox(text(QStringLiteral("0502")), this), "frameAkku");
    auto* ag = new QVBoxLayout(frameAkku);
    ag->addWidget(named(new QLabel(text(QStringLiteral("0510")), frameAkku), "lblName"));
    ag->addWidget(m_name = named(new QLineEdit(frameAkku), "txtName"));
    ag->addWidget(named(new QLabel(text(QStringLiteral("0506")), frameAkku), "lblAkkuBemerkung"));
    ag->addWidget(m_batteryRemark = named(new QLineEdit(frameAkku), "txtAkkuBemerkung"));
    if (maxBatteryRemark > 0) // a missing setting leaves the length open
        m_batteryRemark->setMaxLength(maxBatteryRemark);
    top->addWidget(frameAkku);

    auto* frameSeries = named(new QGroupBox(text(QStringLiteral("0504")), this), "frameMessreihe");
    auto* sg = new QVBoxLayout(frameSeries);
    auto* hint =
        named(new QLabel(text(QStringLiteral("0508")), frameSeries), "lblMessreiheBemerkung");
    hint->setWordWrap(true);
    sg->addWidget(hint);
    sg->addWidget(m_seriesRemark = named(new QLineEdit(frameSeries), "txtMessreiheBemerkung"));
    if (maxSeriesRemark > 0)
        m_seriesRemark->setMaxLength(maxSeriesRemark);
    top->addWidget(frameSeries);

    QPushButton* ok =
        addOkCancelRow(this, top, text(QStringLiteral("0100")), text(QStringLiteral("0101")));
    connect(ok, &QPushButton::clicked, this, &NewBatteryDialog::confirm);
}

QString NewBatteryDialog::name() const {
    return m_name->text().trimmed();
}
QString NewBatteryDialog::batteryRemark() const {
    return m_batteryRemark->text();
}
QString NewBatteryDialog::seriesRemark() const {
    return m_seriesRemark->text();
}

void NewBatteryDialog::confirm() {
    if (!m_acceptName || m_acceptName(m_name->text())) {
        accept();
        return;
    }
    m_name->setFocus();
    m_name->selectAll();
}

} // namespace velmara
