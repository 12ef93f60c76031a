#include "ui/dialogs/chargerdialog.h"

#include "base/widgets/modal.h"
#include "data/settingsstore.h"
#include "data/textstore.h"
#include "ui/dialogs/dialogparts.h"
#include "ui/dialogs/selection.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velmara {

ChargerDialog::ChargerDialog(Form form, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgFirstCharger"));
    setWindowTitle(res(QStringLiteral("0200")));

    auto* layout = new QVBoxLayout(this);
    m_info = new QLabel(res(QStringLiteral("0202")), this);
    m_info->setObjectName(QStringLiteral("lblInfo"));
    m_info->setWordWrap(true);
    m_label = new QLabel(res(QStringLiteral("0204")), this);
    m_label->setObjectName(QStringLiteral("lblLadegeraet"));
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("cboLadegeraet"));
    m_label->setBuddy(m_list);
    layout->addWidget(m_info);
    layout->addWidget(m_label);
    layout->addWidget(m_list);
    const ConfirmRow row = makeConfirmRow(this);
    m_ok = row.ok;
    m_ok->setText(res(form == Form::FirstStart ? QStringLiteral("0102") : QStringLiteral("0100")));
    row.cancel->setText(res(QStringLiteral("0101")));
    layout->addLayout(row.layout);

    fillChoices(m_list,
                describedChargers(chargerChoices(), [](const QString& key) { return res(key); }),
                getSetting(QStringLiteral("UsedCharger")));
    m_ok->setEnabled(!chosenCharger().isEmpty());
    connect(m_list, &QComboBox::currentIndexChanged, this,
            [this] { m_ok->setEnabled(!chosenCharger().isEmpty()); });
}

QString ChargerDialog::chosenCharger() const {
    return chosenValue(m_list);
}

void ChargerDialog::accept() {
    if (!chosenCharger().isEmpty())
        QDialog::accept();
}

bool runChargerDialog() {
    ChargerDialog dialog(ChargerDialog::Form::Menu);
    if (execModal(&dialog) != QDialog::Accepted || dialog.chosenCharger().isEmpty())
        return false;
    return changeSettingAndQuit(QStringLiteral("UsedCharger"), dialog.chosenCharger(),
                                QStringLiteral("0206"));
}

} // namespace velmara
