#include "printing/ui/printdialogs.h"

#include "printing/core/reporttexts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

namespace {

QString keyText(const TextOf& text, const char* key) {
    return text ? text(QLatin1String(key)) : QLatin1String(key);
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// OK and Cancel at the bottom right of the dialog.
QHBoxLayout* okCancel(QDialog* dialog, const TextOf& text) {
    auto* ok = new QPushButton(keyText(text, "0100"), dialog);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(keyText(text, "0101"), dialog);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

RemarkDialog::RemarkDialog(const TextOf& text, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgBemerkung"));
    setWindowTitle(keyText(text, "8000"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(namedLabel(this, "lblBemerkung", keyText(text, "8002")));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("txtBemerkung"));
    m_text->setTabChangesFocus(true);
    layout->addWidget(m_text, 1);
    layout->addLayout(okCancel(this, text));
    resize(420, 220);
}

QString RemarkDialog::remark() const {
    return m_text->toPlainText();
}

void RemarkDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_text->setFocus();
}

SubTitleDialog::SubTitleDialog(const TextOf& text, const SettingLookup& get,
                               const SettingStore& set, QWidget* parent)
    : QDialog(parent), m_set(set) {
    setObjectName(QStringLiteral("dlgSubTitle"));
    setWindowTitle(keyText(text, "8100"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(namedLabel(this, "lblSubTitle", keyText(text, "8102")));
    m_subTitle = new QLineEdit(get ? get(reportkeys::PrintingSubTitle) : QString(), this);
    m_subTitle->setObjectName(QStringLiteral("txtSubTitle"));
    layout->addWidget(m_subTitle);
    layout->addLayout(okCancel(this, text));
    resize(420, 120);
}

void SubTitleDialog::accept() {
    if (m_set)
        m_set(reportkeys::PrintingSubTitle, m_subTitle->text());
    QDialog::accept();
}

PrintSettingsDialog::PrintSettingsDialog(const TextOf& text, Prompter& prompter,
                                         const SettingLookup& get, const SettingStore& set,
                                         const QLocale& locale, QWidget* parent)
    : QDialog(parent), m_text(text), m_prompter(prompter), m_set(set), m_locale(locale) {
    setObjectName(QStringLiteral("dlgPrintSettings"));
    setWindowTitle(keyText(text, "9023"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(namedLabel(this, "lblText", keyText(text, "9022")), 0, 0);
    m_height = new QLineEdit(get ? get(reportkeys::HeadArea) : QString(), this);
    m_height->setObjectName(QStringLiteral("txtHeigth"));
    grid->addWidget(m_height, 0, 1);
    grid->addWidget(namedLabel(this, "lblChkBox", keyText(text, "9021")), 1, 0);
    m_showDate = new QCheckBox(this);
    m_showDate->setObjectName(QStringLiteral("chkShowDate"));
    m_showDate->setChecked(get && get(reportkeys::PrintDate) == QLatin1String("YES"));
    grid->addWidget(m_showDate, 1, 1);
    layout->addLayout(grid);
    layout->addLayout(okCancel(this, text));
}

void PrintSettingsDialog::accept() {
    const HeadAreaCheck check = checkHeadAreaText(m_height->text(), m_locale);
    if (check == HeadAreaCheck::Missing)
        tell("9032");
    else if (check == HeadAreaCheck::NotANumber)
        tell("9031");
    else if (check == HeadAreaCheck::OutOfRange)
        tell("4500");
    else if (m_set)
        m_set(reportkeys::HeadArea, m_height->text());
    if (m_set)
        m_set(reportkeys::PrintDate,
              m_showDate->isChecked() ? QStringLiteral("YES") : QStringLiteral("NO"));
    if (check == HeadAreaCheck::Ok)
        QDialog::accept();
    else
        m_height->setFocus();
}

void PrintSettingsDialog::tell(const char* textKey) {
    Message m;
    m.key = QLatin1String(textKey);
    m.text = keyText(m_text, textKey);
    m.title = keyText(m_text, "9030");
    m.icon = MsgIcon::Critical;
    m_prompter.show(m);
}

} // namespace velmara
