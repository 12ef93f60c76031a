#include "ui/dialogs/serverdialog.h"

#include "base/widgets/dialogbuttons.h"
#include "base/widgets/modal.h"
#include "data/session.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace velmara {

ServerDialog::ServerDialog(Session& session, const UserDataPlace& place, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("dlgAkkudatenServer"));
    setWindowTitle(session.text(QStringLiteral("4931")));
    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    m_file = named(new QRadioButton(session.text(QStringLiteral("4932")), this), "optDatei");
    m_server = named(new QRadioButton(session.text(QStringLiteral("4933")), this), "optServer");
    m_connection = named(new QLineEdit(place.server, this), "txtVerbindung");
    m_connection->setPlaceholderText(QStringLiteral("service=velmara"));
    m_connection->setMinimumWidth(fontMetrics().averageCharWidth() * 40);
    m_station = named(new QLineEdit(place.station, this), "txtStation");
    m_station->setPlaceholderText(QSysInfo::machineHostName());
    m_station->setMaxLength(50);
    m_test = named(new QPushButton(session.text(QStringLiteral("4936")), this), "cmdPruefen");
    m_result = named(new QLabel(this), "lblPruefung");
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* note = named(new QLabel(session.text(QStringLiteral("4938")), this), "lblHinweis");
    note->setWordWrap(true);
    (place.server.isEmpty() ? m_file : m_server)->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(m_file);
    form->addRow(m_server);
    form->addRow(session.text(QStringLiteral("4934")), m_connection);
    form->addRow(session.text(QStringLiteral("4935")), m_station);
    form->addRow(QString(), m_test);
    auto* buttons = okCancelButtons(this, session.text(QStringLiteral("0100")),
                                    session.text(QStringLiteral("0101")));
    // The answer of a test and the note wrap below the form, the dialog as
    // tall as they need.
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addLayout(form);
    layout->addWidget(m_result);
    layout->addWidget(note);
    layout->addWidget(buttons);

    connect(m_server, &QRadioButton::toggled, this, &ServerDialog::changed);
    connect(m_connection, &QLineEdit::textChanged, this, &ServerDialog::changed);
    connect(m_test, &QPushButton::clicked, this, [this] { test(); });
    changed();
}

UserDataPlace ServerDialog::place() const {
    return {m_server->isChecked() ? m_connection->text().trimmed() : QString(),
            m_station->text().trimmed()};
}

void ServerDialog::changed() {
    m_connection->setEnabled(m_server->isChecked());
    m_test->setEnabled(m_server->isChecked() && !m_connection->text().trimmed().isEmpty());
    ++m_tests;
    m_result->clear();
}

// The window stays usable while the server is asked; what the last test
// found is shown, an older answer is dropped.
QCoro::Task<> ServerDialog::test() {
    const int mine = ++m_tests;
    m_result->setText(m_session.text(QStringLiteral("4939")));
    adjustSize();
    QPointer<ServerDialog> self(this);
    const QString language = m_session.text(QStringLiteral("4937"));
    const QString unreachable = m_session.text(QStringLiteral("4923"));
    const auto version = co_await probeServer(m_connection->text().trimmed());
    if (!self || mine != m_tests)
        co_return;
    m_result->setText(version ? language.arg(*version)
                              : unreachable.arg(version.error().simplified()));
    adjustSize(); // the answer may take several lines
}

std::optional<UserDataPlace> runServerDialog(Session& session, QWidget* parent) {
    ServerDialog dialog(session, loadUserDataPlace(session.settings()), parent);
    if (execModal(session.prompter(), &dialog) != QDialog::Accepted)
        return std::nullopt;
    storeUserDataPlace(session.settings(), dialog.place());
    return dialog.place();
}

} // namespace velmara
