#pragma once
// The serial-port dialogs: COM1 to COM4, each with the device path it stands
// for on this machine (ComDevice1..4), which the user may change.
#include "link/serialports.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace velmara {

class Session;

class ComPortDialog : public QDialog {
public:
    enum class Form { FirstStart, Menu };
    // lister: the serial ports of this machine, offered beside the four slots.
    ComPortDialog(Session& session, Form form, QWidget* parent = nullptr,
                  const PortLister& lister = systemSerialPorts);

    int chosenPort() const; // first checked option 1..4, 0 when none is checked
    QStringList devicePaths() const;
    bool isComplete() const; // a port is chosen and its device path is not empty
    void accept() override;  // refused while not complete
    void store() const;      // writes ComPort and the edited device paths

    // Puts an offered port's path into the chosen slot (the first when none is chosen).
    void takePort(const QString& path);

private:
    void update();

    Session& m_session;

    std::array<QRadioButton*, 4> m_options{};
    std::array<QLineEdit*, 4> m_paths{};
    QListWidget* m_ports = nullptr;
    QPushButton* m_ok = nullptr;
};

// The box after the port of the current setting failed to open: "1092" and why
// (missing, no permission with the hint to the dialout group, busy).
void showPortOpenFailure(Session& session);

// The port dialog of the menu and of start-up after the port failed to open.
// Confirming stores the choice and calls reopenLink(); when that fails the box
// "1092" is shown and the dialog opens again. Cancel returns !endOnCancel
// (false: the caller ends the program).
bool runComPortDialog(Session& session, bool endOnCancel, const std::function<bool()>& reopenLink);

} // namespace velmara
