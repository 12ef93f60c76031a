// Changing the language or the charger model from the menu: a warning, then the
// quit question; only Yes on both stores the choice and ends the program.
#include "data/session.h"
#include "selection_fixture.h"

#include "ui/dialogs/chargerdialog.h"
#include "ui/dialogs/languagedialog.h"

#include <functional>
#include <vector>

namespace velmara::test {
namespace {

struct MenuDialog {
    const char* objectName;
    const char* list;
    const char* setting;
    const char* current; // the value the fixture configures
    const char* other;
    const char* warningKey;
    std::function<bool(Session&)> run;
};

struct AnswerPath {
    const char* name;
    bool pickCurrent;
    bool confirmDialog;
    std::vector<std::pair<const char*, MsgAnswer>> boxes;
    bool stored; // the setting changed and the caller must end the program
};

class MenuChange : public SelectionFixture {};

TEST_F(MenuChange, OnlyYesOnBothQuestionsStoresTheChoiceAndEnds) {
    const MenuDialog menuDialogs[] = {
        {"dlgSprache", "cboSprache", "UsedLanguage", "de", "en", "0411", runLanguageDialog},
        {"dlgFirstCharger", "cboLadegeraet", "UsedCharger", "QMT4", "QMT1", "0206",
         runChargerDialog},
    };
    for (const MenuDialog& m : menuDialogs) {
        const AnswerPath paths[] = {
            {"dialog cancelled", false, false, {}, false},
            {"same value", true, true, {}, false},
            {"cancel on the warning", false, true, {{m.warningKey, MsgAnswer::Cancel}}, false},
            {"no on the quit question",
             false,
             true,
             {{m.warningKey, MsgAnswer::Ok}, {"1090", MsgAnswer::No}},
             false},
            {"yes", false, true, {{m.warningKey, MsgAnswer::Ok}, {"1090", MsgAnswer::Yes}}, true},
        };
        for (const AnswerPath& p : paths) {
            SCOPED_TRACE(std::string(m.objectName) + ": " + p.name);
            setting(m.setting, m.current);
            ScriptedDialogs dialogs(session().prompter());
            ScriptedMessages boxes(session());
            for (const auto& [key, answer] : p.boxes)
                boxes.expect(key, answer);
            dialogs.expect(m.objectName, [&](QDialog* d) {
                EXPECT_EQ(chosen(d, m.list), m.current);
                pick(d, m.list, p.pickCurrent ? m.current : m.other);
                // The menu form changes nothing before the questions are answered.
                EXPECT_EQ(session().texts().languageKey(), "de");
                return p.confirmDialog ? click(d, "cmdOK") : click(d, "cmdCancel");
            });

            EXPECT_EQ(m.run(session()), p.stored);
            EXPECT_EQ(setting(m.setting), p.stored ? m.other : m.current);
        }
    }
}

} // namespace
} // namespace velmara::test
