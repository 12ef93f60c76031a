#include "programs/ui/programnamedialog.h"

#include "base/widgets/modal.h"
#include "data/session.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmara {

ProgramNameDialog::ProgramNameDialog(const QStringList& storedNames, Session& session,
                                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgAkkuSpeichern"));
    setWindowTitle(session.text(QStringLiteral("0991")));
    auto* layout = new QVBoxLayout(this);
    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("lstSave"));
    m_names->addItems(storedNames);
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("txtSave"));
    m_name->setMaxLength(255);
    // The list of stored programs and the name box, each under its caption.
    auto* namesCaption = new QLabel(session.text(QStringLiteral("0973")), this);
    namesCaption->setBuddy(m_names);
    auto* nameCaption = new QLabel(session.text(QStringLiteral("0510")), this);
    nameCaption->setBuddy(m_name);
    layout->addWidget(namesCaption);
    layout->addWidget(m_names);
    layout->addWidget(nameCaption);
    layout->addWidget(m_name);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* ok = new QPushButton(session.text(QStringLiteral("0100")), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(session.text(QStringLiteral("0101")), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_names, &QListWidget::currentTextChanged, m_name, &QLineEdit::setText);
}

QString ProgramNameDialog::name() const {
    return m_name->text().trimmed();
}

void ProgramNameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_name->setFocus();
}

QString askProgramName(const QStringList& storedNames, Session& session, QWidget* parent) {
    ProgramNameDialog dialog(storedNames, session, parent);
    return execModal(session.prompter(), &dialog) == QDialog::Accepted ? dialog.name() : QString();
}

} // namespace velmara
