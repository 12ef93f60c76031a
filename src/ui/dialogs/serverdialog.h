#pragma once
// "Einstellungen" > "Akkudaten-Server ...": whether the battery data is kept
// in the user file on this PC or on a PostgreSQL server, the server's
// connection (tested on request, never blocking the window) and the station's
// name. The choice counts from the next start.
#include "data/userdataplace.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmara {

class Session;

class ServerDialog : public QDialog {
    Q_OBJECT
public:
    ServerDialog(Session& session, const UserDataPlace& place, QWidget* parent = nullptr);
    UserDataPlace place() const;

private:
    void changed();
    QCoro::Task<> test();

    Session& m_session;
    QRadioButton* m_file = nullptr;
    QRadioButton* m_server = nullptr;
    QLineEdit* m_connection = nullptr;
    QLineEdit* m_station = nullptr;
    QPushButton* m_test = nullptr;
    QLabel* m_result = nullptr;
    int m_tests = 0; // a newer test makes an older answer stale
};

// Runs the dialog; the new place when the user accepts it (already stored).
std::optional<UserDataPlace> runServerDialog(Session& session, QWidget* parent);

} // namespace velmara
