// The first-start chain: language, charger model, serial port, and what each
// cancel leaves behind.
#include "data/session.h"
#include "selection_fixture.h"

#include "ui/dialogs/firststart.h"

namespace velmara::test {
namespace {

class FirstStartChain : public SelectionFixture {
public:
    int tempValueCount() {
        return session().user()->scalar("SELECT COUNT(*) FROM TempMessWerte").toInt();
    }
};

// Picking English re-labels the chain. A cancel on the language or the charger
// ends it (the language cancel also empties the temporary values); a cancel on
// the port goes on; 3: all confirmed.
TEST_F(FirstStartChain, StoresWhatWasConfirmedUpToACancel) {
    setting("ComPort", "3");
    const QString path2 = setting("ComDevice2");
    for (int cancelAt = 0; cancelAt <= 3; ++cancelAt) {
        SCOPED_TRACE(cancelAt);
        setting("UsedLanguage", "de");
        session().texts().setLanguageKey("de");
        setting("UsedCharger", "QMT4");
        session().user()->execute("DELETE * FROM TempMessWerte");
        ASSERT_TRUE(session().user()->execute("INSERT INTO TempMessWerte (MessReiheID, EW, "
                                              "MessWertString) VALUES (1, 0, '1;2;3;4')"));
        int step = 0;
        const auto answer = [&](QDialog* d) {
            return click(d, step++ == cancelAt ? "cmdCancel" : "cmdOK");
        };
        ScriptedDialogs dialogs(session().prompter());
        dialogs.expect("dlgFirstSprache", [&](QDialog* d) {
            EXPECT_EQ(chosen(d, "cboSprache"), "de");
            pick(d, "cboSprache", "en");
            return answer(d);
        });
        if (cancelAt > 0)
            dialogs.expect("dlgFirstCharger", [&](QDialog* d) {
                EXPECT_EQ(chosen(d, "cboLadegeraet"), "QMT4");
                pick(d, "cboLadegeraet", "QMT1");
                return answer(d);
            });
        if (cancelAt > 1)
            dialogs.expect("dlgFirstComPortSelection", [&](QDialog* d) {
                check(d, "optCom2");
                edit(d, "txtComDevice2", " /dev/ttyACM0 ");
                return answer(d);
            });

        EXPECT_EQ(runFirstStartChain(session()), cancelAt >= 2);
        const QString language = cancelAt == 0 ? "de" : "en";
        EXPECT_EQ(setting("UsedLanguage"), language);
        EXPECT_EQ(session().texts().languageKey(), language);
        EXPECT_EQ(setting("UsedCharger"), cancelAt >= 2 ? "QMT1" : "QMT4");
        EXPECT_EQ(setting("ComPort"), cancelAt == 3 ? "2" : "3");
        EXPECT_EQ(setting("ComDevice2"), cancelAt == 3 ? "/dev/ttyACM0" : path2);
        EXPECT_EQ(tempValueCount(), cancelAt == 0 ? 0 : 1);
    }
}

} // namespace
} // namespace velmara::test
