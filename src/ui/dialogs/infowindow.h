#pragma once
// The information window frmInfo: program name and version, the libraries the
// program runs on, and a way to the machine's system information.
#include <QDialog>

namespace velmara {

class Session;

class InfoWindow : public QDialog {
public:
    explicit InfoWindow(Session& session, QWidget* parent = nullptr);

private:
    void showSystemInfo();

    Session& m_session;
    QString m_tool; // system-information program, "" when none was found
};

// Shows the information window modally.
void showInfoWindow(Session& session, QWidget* parent);

} // namespace velmara
