#pragma once
// The charger dialog dlgFirstCharger: on the first start it asks for the charger
// model; from the menu it changes the model, which takes effect at the next start.
#include <QDialog>

class QComboBox;
class QLabel;

namespace velmara {

class Session;

class ChargerDialog : public QDialog {
public:
    enum class Form { FirstStart, Menu };
    ChargerDialog(Session& session, Form form, QWidget* parent = nullptr);

    // The short name of the chosen model ("QMT1", "QMT4"), "" when none is chosen.
    QString chosenCharger() const;
    void accept() override; // refused while no model is chosen

private:
    QLabel* m_label = nullptr;
    QLabel* m_info = nullptr;
    QComboBox* m_list = nullptr;
    QPushButton* m_ok = nullptr;
};

// The menu entry "Ladegerät": true when a new model was stored and the caller
// must end the program.
bool runChargerDialog(Session& session);

} // namespace velmara
