#pragma once
// The dialog of the menu entry "Web-Ansicht ..." (dlgWebAnsicht): on or off, the
// port, whether the local network may see it, the link with its QR code, and a
// new access key.
#include "web/core/webaccess.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace velmara {

class Session;

class WebViewDialog : public QDialog {
public:
    WebViewDialog(Session& session, const WebAccess& access, QWidget* parent = nullptr);
    WebAccess access() const { return m_access; }

private:
    void changed();

    Session& m_session;
    WebAccess m_access;
    QCheckBox* m_enabled = nullptr;
    QSpinBox* m_port = nullptr;
    QCheckBox* m_network = nullptr;
    QLabel* m_networkNote = nullptr;
    QLineEdit* m_link = nullptr;
    QPushButton* m_newKey = nullptr;
    QLabel* m_qrCode = nullptr;
};

// Runs the dialog; the settings the user confirmed, nothing when cancelled.
std::optional<WebAccess> runWebViewDialog(Session& session, const WebAccess& access,
                                          QWidget* parent);

} // namespace velmara
