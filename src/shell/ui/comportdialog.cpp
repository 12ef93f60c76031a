#include "shell/ui/comportdialog.h"

#include "shell/core/messages.h"
#include "shell/core/programresources.h"
#include "shell/core/programsettings.h"
#include "shell/ui/dialogparts.h"
#include "shell/ui/modal.h"
#include "shell/ui/selection.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmara {

ComPortDialog::ComPortDialog(Form form, QWidget* parent) : QDialog(parent) {
    setObjectName(form == Form::FirstStart ? QStringLiteral("dlgFirstComPortSelection")
                                           : QStringLiteral("dlgComPortSelection"));
    setWindowTitle(res(QStringLiteral("0600")));

    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel(res(QStringLiteral("0610")), this);
    info->setObjectName(QStringLiteral("lblInfo"));
    info->setWordWrap(true);
    layout->addWidget(info);

    auto* grid = new QGridLayout;
    auto* pathLabel = new QLabel(res(QStringLiteral("0612")), this);
    pathLabel->setObjectName(QStringLiteral("lblComDevice"));
    grid->addWidget(pathLabel, 0, 1);
    auto* group = new QButtonGroup(this);
    const int selected = comPortNumber(getSetting(QStringLiteral("ComPort")));
    static const char* const optionKeys[] = {"0602", "0604", "0606", "0608"};
    for (int i = 0; i < comPortCount; ++i) {
        const int port = i + 1;
        m_options[i] = new QRadioButton(res(QLatin1String(optionKeys[i])), this);
        m_options[i]->setObjectName(QStringLiteral("optCom%1").arg(port));
        m_options[i]->setChecked(port == selected);
        group->addButton(m_options[i], port);
        m_paths[i] = new QLineEdit(getSetting(comDeviceKey(port)), this);
        m_paths[i]->setObjectName(QStringLiteral("txtComDevice%1").arg(port));
        grid->addWidget(m_options[i], port, 0);
        grid->addWidget(m_paths[i], port, 1);
        connect(m_paths[i], &QLineEdit::textChanged, this, [this] { update(); });
    }
    connect(group, &QButtonGroup::idToggled, this, [this] { update(); });
    layout->addLayout(grid);

    const ConfirmRow row = makeConfirmRow(this);
    m_ok = row.ok;
    m_ok->setText(res(QStringLiteral("0102")));
    row.cancel->setText(res(QStringLiteral("0101")));
    layout->addLayout(row.layout);
    update();
}

int ComPortDialog::chosenPort() const {
    for (int i = 0; i < comPortCount; ++i)
        if (m_options[i]->isChecked())
            return i + 1;
    return 0;
}

QStringList ComPortDialog::devicePaths() const {
    QStringList paths;
    for (const QLineEdit* edit : m_paths)
        paths << edit->text();
    return paths;
}

bool ComPortDialog::isComplete() const {
    return isPortChoiceComplete(chosenPort(), devicePaths());
}

void ComPortDialog::accept() {
    if (isComplete())
        QDialog::accept();
}

void ComPortDialog::store() const {
    storePortChoice(chosenPort(), devicePaths());
}

void ComPortDialog::update() {
    m_ok->setEnabled(isComplete());
}

bool runComPortDialog(bool endOnCancel, const std::function<bool()>& reopenLink) {
    for (;;) {
        ComPortDialog dialog(ComPortDialog::Form::Menu);
        if (execModal(&dialog) != QDialog::Accepted)
            return !endOnCancel;
        if (!dialog.isComplete())
            continue; // nothing to store: ask again
        dialog.store();
        if (!reopenLink || reopenLink())
            return true;
        showKeyed(QStringLiteral("1092"), QStringLiteral("0120"), MsgIcon::Critical);
    }
}

} // namespace velmara
