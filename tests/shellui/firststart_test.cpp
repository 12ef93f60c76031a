// The first-start chain: language, charger model, serial port, and what each
// cancel leaves behind.
#include "selection_fixture.h"

#include "shell/ui/firststart.h"

namespace velmara::test {
namespace {

class FirstStartChain : public SelectionFixture {};

int tempValueCount() {
    return userDatabase()->scalar(QStringLiteral("SELECT COUNT(*) FROM TempMessWerte")).toInt();
}

TEST_F(FirstStartChain, PickingEnglishRelabelsTheChainAndStoresAllThreeChoices) {
    ScriptedDialogs dialogs;
    dialogs
        .expect("dlgFirstSprache",
                [](QDialog* d) {
                    EXPECT_EQ(text(d, "lblSprache"), "Sprache:");
                    EXPECT_EQ(chosen(d, "cboSprache"), "de");
                    auto* list = child<QComboBox>(d, "cboSprache");
                    EXPECT_EQ(list->count(), 2) << "usable languages only";
                    pick(d, "cboSprache", "en");
                    EXPECT_EQ(text(d, "lblSprache"), "Language:");
                    EXPECT_EQ(list->itemText(0), "English") << "named and sorted anew";
                    EXPECT_EQ(list->itemText(1), "German");
                    return clickOk(d);
                })
        .expect("dlgFirstCharger",
                [](QDialog* d) {
                    EXPECT_EQ(text(d, "lblLadegeraet"), "Charger:");
                    EXPECT_EQ(chosen(d, "cboLadegeraet"), "QMT4");
                    pick(d, "cboLadegeraet", "QMT1");
                    return clickOk(d);
                })
        .expect("dlgFirstComPortSelection", [](QDialog* d) {
            check(d, "optCom2");
            edit(d, "txtComDevice2", " /dev/ttyACM0 ");
            return clickOk(d);
        });

    EXPECT_TRUE(runFirstStartChain());
    EXPECT_EQ(getSetting("UsedLanguage"), "en");
    EXPECT_EQ(ProgramResources::instance().languageKey(), "en");
    EXPECT_EQ(getSetting("UsedCharger"), "QMT1");
    EXPECT_EQ(getSetting("ComPort"), "2");
    EXPECT_EQ(getSetting("ComDevice2"), "/dev/ttyACM0");
}

TEST_F(FirstStartChain, CancellingTheLanguageEndsAndClearsTheTemporaryValues) {
    ASSERT_TRUE(userDatabase()->execute(
        "INSERT INTO TempMessWerte (MessReiheID, EW, MessWertString) VALUES (1, 0, '1;2;3;4')"));
    ASSERT_EQ(tempValueCount(), 1);
    ScriptedDialogs dialogs;
    dialogs.expect("dlgFirstSprache", [](QDialog* d) {
        pick(d, "cboSprache", "en");
        return clickCancel(d);
    });

    EXPECT_FALSE(runFirstStartChain());
    EXPECT_EQ(dialogs.opened, QStringList{"dlgFirstSprache"});
    EXPECT_EQ(tempValueCount(), 0);
    EXPECT_EQ(getSetting("UsedLanguage"), "de");
    EXPECT_EQ(ProgramResources::instance().languageKey(), "de");
}

TEST_F(FirstStartChain, CancellingTheChargerEndsWithFirstStartupStillYes) {
    setSetting("FirstStartup", "YES");
    ScriptedDialogs dialogs;
    dialogs.accept("dlgFirstSprache").expect("dlgFirstCharger", [](QDialog* d) {
        pick(d, "cboLadegeraet", "QMT1");
        return clickCancel(d);
    });

    EXPECT_FALSE(runFirstStartChain());
    EXPECT_EQ(dialogs.opened, (QStringList{"dlgFirstSprache", "dlgFirstCharger"}));
    EXPECT_EQ(getSetting("FirstStartup"), "YES");
    EXPECT_EQ(getSetting("UsedCharger"), "QMT4");
}

TEST_F(FirstStartChain, CancellingThePortKeepsPortAndPathsAndStillGoesOn) {
    setSetting("ComPort", "3");
    const QString path1 = getSetting("ComDevice1");
    ScriptedDialogs dialogs;
    dialogs.accept("dlgFirstSprache")
        .accept("dlgFirstCharger")
        .expect("dlgFirstComPortSelection", [](QDialog* d) {
            check(d, "optCom1");
            edit(d, "txtComDevice1", "/dev/ttyUSB7");
            return clickCancel(d);
        });

    EXPECT_TRUE(runFirstStartChain());
    EXPECT_EQ(getSetting("ComPort"), "3");
    EXPECT_EQ(getSetting("ComDevice1"), path1);
}

} // namespace
} // namespace velmara::test
