// The program editor: fields per device mode, buttons, name dialog, extended settings.
#include "programs/ui/programeditordialog.h"
#include "programs_fixture.h"
#include "storage/recordset.h"
#include "support/controls.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

namespace velmara::test {
namespace {

const char* const kProgram = "003,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000";

// Answers the name dialog of "save as".
ScriptedDialogs::Step named(const char* name) {
    return [name](QDialog* n) {
        child<QLineEdit>(n, "txtSave")->setText(name);
        return int(QDialog::Accepted);
    };
}

bool shown(QWidget* dialog, const char* name) {
    QWidget* w = child<QWidget>(dialog, name);
    return w && w->isVisibleTo(dialog);
}

class Dialogs : public ProgramsTest {
public:
    // The typing filters read numbers as the system does.
    void SetUp() override {
        QLocale::setDefault(kGerman);
        ProgramsTest::SetUp();
    }
    void TearDown() override {
        ProgramsTest::TearDown();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    std::unique_ptr<ProgramEditorDialog> editor(const char* program = nullptr,
                                                bool extension = false) {
        ProgramEditorSetup s;
        s.channel = "003";
        if (program)
            s.program = parsed(program);
        else
            s.program.batteryType = ProgramRecord::NoAnswer;
        s.reference = ref;
        s.options = options();
        s.options.extensionAvailable = extension;
        s.line = &line;
        s.programs = &session().stores().programs();
        s.resetChannels = [this](const QStringList& ch) { reset << ch; };
        s.locale = kGerman;
        return std::make_unique<ProgramEditorDialog>(session(), std::move(s));
    }
    FakeProgramLine line;
    QStringList reset;
};

// Each flag of the mode rows on and off once: modes 1 and 2 swap the charge and
// discharge fields, 3, 5 and 6 bring the self-discharge, cycle and period fields.
TEST_F(Dialogs, DeviceModesShowTheFieldsOfTheirFlags) {
    auto d = editor();
    child<QAbstractButton>(d.get(), "optVorgSpannung")->click();
    auto* modes = child<QComboBox>(d.get(), "cboGeraeteModi");
    auto rows = session().master()->openRecordset(
        "SELECT * FROM GeraeteModi WHERE ModusNr IN (1, 2, 3, 5, 6)");
    for (rows->moveFirst(); !rows->isEOF(); rows->moveNext()) {
        SCOPED_TRACE(rows->value("ModusNr").toInt());
        modes->setCurrentIndex(modes->findData(rows->value("ModusNr")));
        const std::pair<const char*, const char*> flags[] = {
            {"LBlock", "txtLadestrom"},
            {"EBlock", "txtEntladestrom"},
            {"TSel", "chkSelbstentladung"},
            {"FormCbo", "cboModeZyklus"},
            {"TageText", "txtZeitraum"},
            {"Ladeschluss", "txtLadeschlussSpannung"},
            {"Entladeschluss", "lblEntladeschlussSpannung"},
        };
        for (const auto& [flag, control] : flags)
            EXPECT_EQ(shown(d.get(), control), rows->value(flag).toInt() != 0) << control;
    }
}

// A send waits for the charger's echo: meanwhile only Cancel works, and it
// cannot take back a program the charger has taken: the channel starts anew
// and the editor closes.
TEST_F(Dialogs, SendWaitsForTheChargerResetsTheChannelAndCloses) {
    auto d = editor(kProgram);
    d->show();
    line.hold = true;
    ScriptedMessages boxes(session());
    boxes.expect("0980", MsgAnswer::Ok);
    child<QAbstractButton>(d.get(), "cmdSendButton")->click();
    ASSERT_TRUE(line.held);
    for (const char* name : {"cmdSendButton", "cmdProgrammHolen", "txtLadestrom"})
        EXPECT_FALSE(child<QWidget>(d.get(), name)->isEnabled()) << name;
    QTest::keyClick(d.get(), Qt::Key_Escape);
    EXPECT_FALSE(d->close());
    EXPECT_EQ(d->result(), 0); // neither taken nor cancelled yet

    line.release();
    EXPECT_EQ(line.sent, QStringList({kProgram}));
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(reset, QStringList({"003"}));
}

// Cancel while a silent charger is asked: no further attempt, no message, the
// editor stays open with its program.
TEST_F(Dialogs, CancelEndsAFetchAfterTheRequestOnTheLine) {
    auto d = editor(kProgram);
    d->show();
    line.hold = true;
    child<QAbstractButton>(d.get(), "cmdProgrammHolen")->click();
    ASSERT_TRUE(line.held);
    child<QAbstractButton>(d.get(), "cmdCancelButton")->click();
    EXPECT_TRUE(d->isVisible());
    line.release();
    EXPECT_EQ(line.sent, QStringList({"003,W"}));
    EXPECT_TRUE(child<QWidget>(d.get(), "cmdProgrammHolen")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(d.get(), "txtLadestrom")->text(), "1,000");
}

// A failed save is told and logged; its reason:
// EditorSession.AFailedSaveOrDeleteHandsOverTheReason.
TEST_F(Dialogs, SaveAsAsksForTheNameAndSelectsTheStoredProgramOrTellsWhyNot) {
    auto d = editor(kProgram);
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgAkkuSpeichern", named("  Anna's 6 V "));
    child<QAbstractButton>(d.get(), "cmdSaveAsButton")->click();
    EXPECT_EQ(child<QComboBox>(d.get(), "cboAkkuProgram")->currentText(), "Anna's 6 V");
    EXPECT_TRUE(child<QAbstractButton>(d.get(), "cmdDeleteButton")->isEnabled());

    ASSERT_TRUE(session().user()->execute("CREATE TRIGGER refuse BEFORE INSERT ON Programme "
                                          "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    dialogs.expect("dlgAkkuSpeichern", named("Pack"));
    session().log().open(session().folder().logPath());
    ScriptedMessages boxes(session());
    boxes.expect("Fehler");
    child<QAbstractButton>(d.get(), "cmdSaveAsButton")->click();
    QFile log(session().folder().logPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << log.fileName().toStdString();
    EXPECT_TRUE(log.readAll().contains("Programme: ")) << "the reason is logged";
}

// A program without extended fields starts from DefaultLadeende (10 %).
TEST_F(Dialogs, ExtendedSettingsChosenInTheEditorTravelWithTheProgram) {
    EXPECT_FALSE(shown(editor().get(), "cmdExtendedModus"));
    auto d = editor(kProgram, true);
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgErweiterterProgrammiermodus", [](QDialog* e) {
        EXPECT_EQ(child<QLineEdit>(e, "txtLadeende")->text(), "10");
        child<QLineEdit>(e, "txtLadeende")->setText("25");
        child<QAbstractButton>(e, "optOhneLast")->click();
        child<QAbstractButton>(e, "cmdOk")->click();
        return e->result();
    });
    child<QAbstractButton>(d.get(), "cmdExtendedModus")->click();
    ScriptedMessages boxes(session());
    boxes.expect("0980", MsgAnswer::Ok);
    child<QAbstractButton>(d.get(), "cmdSendButton")->click();
    ASSERT_EQ(line.sent.size(), 1);
    EXPECT_TRUE(line.sent.at(0).endsWith(",D06000,S1,C1,B0,H0,N250,O0,Q0,U0"))
        << line.sent.at(0).toStdString();
}

} // namespace
} // namespace velmara::test
