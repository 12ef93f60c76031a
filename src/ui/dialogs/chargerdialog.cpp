#include "ui/dialogs/chargerdialog.h"

#include "base/widgets/modal.h"
#include "data/session.h"
#include "ui/dialogs/dialogparts.h"
#include "ui/dialogs/selection.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velmara {

ChargerDialog::ChargerDialog(Session& session, Form form, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgFirstCharger"));
    setWindowTitle(session.text(QStringLiteral("0200")));

    auto* layout = new QVBoxLayout(this);
    m_info = new QLabel(session.text(QStringLiteral("0202")), this);
    m_info->setObjectName(QStringLiteral("lblInfo"));
    m_info->setWordWrap(true);
    m_label = new QLabel(session.text(QStringLiteral("0204")), this);
    m_label->setObjectName(QStringLiteral("lblLadegeraet"));
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("cboLadegeraet"));
    m_label->setBuddy(m_list);
    layout->addWidget(m_info);
    layout->addWidget(m_label);
    layout->addWidget(m_list);
    const ConfirmRow row = makeConfirmRow(this);
    m_ok = row.ok;
    m_ok->setText(
        session.text(form == Form::FirstStart ? QStringLiteral("0102") : QStringLiteral("0100")));
    row.cancel->setText(session.text(QStringLiteral("0101")));
    layout->addLayout(row.layout);

    fillChoices(m_list,
                describedChargers(chargerChoices(session.master()),
                                  [&session](const QString& key) { return session.text(key); }),
                session.setting(QStringLiteral("UsedCharger")));
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

bool runChargerDialog(Session& session) {
    ChargerDialog dialog(session, ChargerDialog::Form::Menu);
    if (execModal(session.prompter(), &dialog) != QDialog::Accepted ||
        dialog.chosenCharger().isEmpty())
        return false;
    return changeSettingAndQuit(session, QStringLiteral("UsedCharger"), dialog.chosenCharger(),
                                QStringLiteral("0206"));
}

} // namespace velmara
