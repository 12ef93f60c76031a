#pragma once
// The language dialogs: dlgFirstSprache on the first start (it switches the
// text store at once when another language is picked and re-labels itself) and
// dlgSprache from the menu (the change takes effect at the next start).
#include <QDialog>

class QComboBox;
class QLabel;

namespace velmara {

struct ConfirmRow;
class Session;

class LanguageDialog : public QDialog {
public:
    enum class Form { FirstStart, Menu };
    LanguageDialog(Session& session, Form form, QWidget* parent = nullptr);

    // The code of the chosen language, "" when none is chosen.
    QString chosenCode() const;
    void accept() override; // refused while no language is chosen

private:
    void applyTexts();
    void fillList();
    void picked();

    Session& m_session;
    Form m_form;
    QLabel* m_label = nullptr;
    QLabel* m_info = nullptr; // first-start form only
    QComboBox* m_list = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// The menu entry "Sprache": true when a new language was stored and the caller
// must end the program.
bool runLanguageDialog(Session& session);

} // namespace velmara
