#pragma once
// The serial-port dialogs: COM1 to COM4, each with the device path it stands
// for on this machine (ComDevice1..4), which the user may change.
#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace velmara {

class ComPortDialog : public QDialog {
public:
    enum class Form { FirstStart, Menu };
    explicit ComPortDialog(Form form, QWidget* parent = nullptr);

    int chosenPort() const; // first checked option 1..4, 0 when none is checked
    QStringList devicePaths() const;
    bool isComplete() const; // a port is chosen and its device path is not empty
    void accept() override;  // refused while not complete
    void store() const;      // writes ComPort and the edited device paths

private:
    void update();

    std::array<QRadioButton*, 4> m_options{};
    std::array<QLineEdit*, 4> m_paths{};
    QPushButton* m_ok = nullptr;
};

// The port dialog of the menu and of start-up after the port failed to open.
// Confirming stores the choice and calls reopenLink(); when that fails the box
// "1092" is shown and the dialog opens again. Cancel returns !endOnCancel
// (false: the caller ends the program).
bool runComPortDialog(bool endOnCancel, const std::function<bool()>& reopenLink);

} // namespace velmara
