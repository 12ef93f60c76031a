#include "ui/dialogs/comportdialog.h"

#include "base/widgets/modal.h"
#include "data/session.h"
#include "ui/dialogs/dialogparts.h"
#include "ui/dialogs/selection.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmara {

ComPortDialog::ComPortDialog(Session& session, Form form, QWidget* parent, const PortLister& lister)
    : QDialog(parent), m_session(session) {
    setObjectName(form == Form::FirstStart ? QStringLiteral("dlgFirstComPortSelection")
                                           : QStringLiteral("dlgComPortSelection"));
    setWindowTitle(session.text(QStringLiteral("0600")));

    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel(session.text(QStringLiteral("0610")), this);
    info->setObjectName(QStringLiteral("lblInfo"));
    info->setWordWrap(true);
    layout->addWidget(info);

    auto* grid = new QGridLayout;
    auto* pathLabel = new QLabel(session.text(QStringLiteral("0612")), this);
    pathLabel->setObjectName(QStringLiteral("lblComDevice"));
    grid->addWidget(pathLabel, 0, 1);
    auto* group = new QButtonGroup(this);
    const int selected = configuredPort(session.settings()).number;
    static const char* const optionKeys[] = {"0602", "0604", "0606", "0608"};
    for (int i = 0; i < comPortCount; ++i) {
        const int port = i + 1;
        m_options[i] = new QRadioButton(session.text(QLatin1String(optionKeys[i])), this);
        m_options[i]->setObjectName(QStringLiteral("optCom%1").arg(port));
        m_options[i]->setChecked(port == selected);
        group->addButton(m_options[i], port);
        m_paths[i] = new QLineEdit(session.setting(comDeviceKey(port)), this);
        m_paths[i]->setObjectName(QStringLiteral("txtComDevice%1").arg(port));
        // Wide enough for a /dev/serial/by-id name.
        m_paths[i]->setMinimumWidth(m_paths[i]->fontMetrics().averageCharWidth() * 60);
        grid->addWidget(m_options[i], port, 0);
        grid->addWidget(m_paths[i], port, 1);
        connect(m_paths[i], &QLineEdit::textChanged, this, [this] { update(); });
        // Typing a path chooses its slot.
        connect(m_paths[i], &QLineEdit::textEdited, this,
                [this, i] { m_options[i]->setChecked(true); });
    }
    connect(group, &QButtonGroup::idToggled, this, [this] { update(); });
    layout->addLayout(grid);

    auto* portsLabel = new QLabel(session.text(QStringLiteral("1132")), this);
    portsLabel->setObjectName(QStringLiteral("lblVorhandenePorts"));
    portsLabel->setWordWrap(true);
    layout->addWidget(portsLabel);
    m_ports = new QListWidget(this);
    m_ports->setObjectName(QStringLiteral("lstPorts"));
    m_ports->setMaximumHeight(m_ports->fontMetrics().height() * 6);
    for (const AvailablePort& port : lister ? lister() : QList<AvailablePort>{}) {
        auto* item = new QListWidgetItem(port.label(), m_ports);
        item->setData(Qt::UserRole, port.preferredPath());
    }
    connect(m_ports, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { takePort(item->data(Qt::UserRole).toString()); });
    layout->addWidget(m_ports);

    const ConfirmRow row = makeConfirmRow(this);
    m_ok = row.ok;
    m_ok->setText(session.text(QStringLiteral("0102")));
    row.cancel->setText(session.text(QStringLiteral("0101")));
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
    storePortChoice(m_session.settings(), chosenPort(), devicePaths());
}

void ComPortDialog::takePort(const QString& path) {
    int slot = chosenPort();
    if (slot == 0) {
        slot = 1;
        m_options[0]->setChecked(true);
    }
    m_paths[slot - 1]->setText(path);
}

void ComPortDialog::update() {
    m_ok->setEnabled(isComplete());
}

bool runComPortDialog(Session& session, bool endOnCancel, const std::function<bool()>& reopenLink) {
    for (;;) {
        ComPortDialog dialog(session, ComPortDialog::Form::Menu);
        if (execModal(session.prompter(), &dialog) != QDialog::Accepted)
            return !endOnCancel;
        if (!dialog.isComplete())
            continue; // nothing to store: ask again
        dialog.store();
        if (!reopenLink || reopenLink())
            return true;
        showPortOpenFailure(session);
    }
}

void showPortOpenFailure(Session& session) {
    const QString path = configuredPort(session.settings()).devicePath;
    Message m;
    m.key = QStringLiteral("1092");
    m.text = session.text(m.key) + QStringLiteral("\n\n") +
             session.text(portProblemKey(diagnosePort(path))).arg(path);
    m.title = session.text(QStringLiteral("0120"));
    m.icon = MsgIcon::Critical;
    m.buttons = MsgButtons::Ok;
    session.prompter().show(m);
}

} // namespace velmara
