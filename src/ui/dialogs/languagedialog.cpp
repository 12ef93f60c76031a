#include "ui/dialogs/languagedialog.h"

#include "base/widgets/modal.h"
#include "base/widgets/placewindow.h"
#include "data/session.h"
#include "ui/dialogs/dialogparts.h"
#include "ui/dialogs/selection.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace velmara {

LanguageDialog::LanguageDialog(Session& session, Form form, QWidget* parent)
    : QDialog(parent), m_session(session), m_form(form) {
    const bool first = form == Form::FirstStart;
    setObjectName(first ? QStringLiteral("dlgFirstSprache") : QStringLiteral("dlgSprache"));
    setWindowTitle(QStringLiteral("velmara - Sprache"));

    auto* layout = new QVBoxLayout(this);
    if (first) {
        m_info = new QLabel(this);
        m_info->setObjectName(QStringLiteral("lblInfo"));
        m_info->setWordWrap(true);
        layout->addWidget(m_info);
    }
    m_label = new QLabel(QStringLiteral("Sprache:"), this);
    m_label->setObjectName(QStringLiteral("lblSprache"));
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("cboSprache"));
    m_label->setBuddy(m_list);
    layout->addWidget(m_label);
    layout->addWidget(m_list);
    const ConfirmRow row = makeConfirmRow(this);
    m_ok = row.ok;
    m_cancel = row.cancel;
    layout->addLayout(row.layout);

    applyTexts();
    fillList();
    connect(m_list, &QComboBox::currentIndexChanged, this, [this] { picked(); });
}

QString LanguageDialog::chosenCode() const {
    return chosenValue(m_list);
}

void LanguageDialog::accept() {
    if (!chosenCode().isEmpty())
        QDialog::accept();
}

void LanguageDialog::applyTexts() {
    setWindowTitle(m_session.text(QStringLiteral("0400")));
    m_label->setText(m_session.text(QStringLiteral("0401")));
    if (m_info)
        m_info->setText(m_session.text(QStringLiteral("0402")));
    m_ok->setText(m_session.text(m_form == Form::FirstStart ? QStringLiteral("0102")
                                                            : QStringLiteral("0100")));
    m_cancel->setText(m_session.text(QStringLiteral("0101")));
    // Wide enough for the whole title beside the title bar's own buttons.
    setMinimumWidth(minimumWidthForTitle(*this));
}

void LanguageDialog::fillList() {
    const QString select =
        chosenCode().isEmpty() ? m_session.setting(QStringLiteral("UsedLanguage")) : chosenCode();
    fillChoices(m_list, languageChoices(m_session.master()), select);
    m_ok->setEnabled(!chosenCode().isEmpty());
}

void LanguageDialog::picked() {
    m_ok->setEnabled(!chosenCode().isEmpty());
    if (m_form != Form::FirstStart || chosenCode().isEmpty())
        return;
    // The user sees the choice at once: texts and list in the new language.
    m_session.texts().setLanguageKey(chosenCode());
    applyTexts();
    fillList();
}

bool runLanguageDialog(Session& session) {
    LanguageDialog dialog(session, LanguageDialog::Form::Menu);
    if (execModal(session.prompter(), &dialog) != QDialog::Accepted ||
        dialog.chosenCode().isEmpty())
        return false;
    return changeSettingAndQuit(session, QStringLiteral("UsedLanguage"), dialog.chosenCode(),
                                QStringLiteral("0411"));
}

} // namespace velmara
