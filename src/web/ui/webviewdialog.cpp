#include "web/ui/webviewdialog.h"

#include "base/widgets/dialogbuttons.h"
#include "base/widgets/modal.h"
#include "data/session.h"
#include "web/ui/qrimage.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velmara {

WebViewDialog::WebViewDialog(Session& session, const WebAccess& access, QWidget* parent)
    : QDialog(parent), m_session(session), m_access(access) {
    setObjectName(QStringLiteral("dlgWebAnsicht"));
    setWindowTitle(session.text(QStringLiteral("4901")));
    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    m_enabled = named(new QCheckBox(session.text(QStringLiteral("4902")), this), "chkWebAnsicht");
    m_enabled->setChecked(access.enabled);
    m_port = named(new QSpinBox(this), "spnPort");
    m_port->setRange(1024, 65535);
    m_port->setValue(access.port);
    m_network = named(new QCheckBox(session.text(QStringLiteral("4904")), this), "chkNetz");
    m_network->setChecked(access.network);
    m_networkNote = named(new QLabel(session.text(QStringLiteral("4908")), this), "lblHinweis");
    m_networkNote->setWordWrap(true);
    m_link = named(new QLineEdit(this), "txtLink");
    m_link->setReadOnly(true);
    m_newKey =
        named(new QPushButton(session.text(QStringLiteral("4905")), this), "cmdNeuerSchluessel");
    m_qrCode = named(new QLabel(this), "lblQrCode");
    m_qrCode->setAlignment(Qt::AlignCenter);

    auto* form = new QFormLayout;
    form->addRow(m_enabled);
    form->addRow(session.text(QStringLiteral("4903")), m_port);
    form->addRow(m_network);
    form->addRow(m_networkNote);
    form->addRow(session.text(QStringLiteral("4906")), m_link);
    form->addRow(QString(), m_newKey);
    auto* buttons = okCancelButtons(this, session.text(QStringLiteral("0100")),
                                    session.text(QStringLiteral("0101")));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_qrCode);
    layout->addWidget(buttons);

    connect(m_enabled, &QCheckBox::toggled, this, &WebViewDialog::changed);
    connect(m_network, &QCheckBox::toggled, this, &WebViewDialog::changed);
    connect(m_port, &QSpinBox::valueChanged, this, &WebViewDialog::changed);
    connect(m_newKey, &QPushButton::clicked, this, [this] {
        m_access.token = newAccessToken();
        changed();
    });
    changed();
}

void WebViewDialog::changed() {
    m_access.enabled = m_enabled->isChecked();
    m_access.network = m_network->isChecked();
    m_access.port = quint16(m_port->value());
    for (QWidget* w : {static_cast<QWidget*>(m_port), static_cast<QWidget*>(m_network),
                       static_cast<QWidget*>(m_link), static_cast<QWidget*>(m_newKey)})
        w->setEnabled(m_access.enabled);
    m_networkNote->setVisible(m_access.network);
    const QString link =
        webViewLink(webViewHost(m_access.network), m_access.port, m_access.token).toString();
    m_link->setText(link);
    m_link->setCursorPosition(0);
    // The QR code is for a phone in the network; on this computer the link does.
    const bool qr = m_access.enabled && m_access.network;
    m_qrCode->setPixmap(qr ? QPixmap::fromImage(qrCodeImage(link, 4)) : QPixmap());
    m_qrCode->setVisible(qr);
    adjustSize();
}

std::optional<WebAccess> runWebViewDialog(Session& session, const WebAccess& access,
                                          QWidget* parent) {
    WebViewDialog dialog(session, access, parent);
    if (execModal(session.prompter(), &dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.access();
}

} // namespace velmara
