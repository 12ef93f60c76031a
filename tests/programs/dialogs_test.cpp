// The program dialogs on the delivered files: the fields each device mode
// shows, the buttons of the editor, the name dialog, and the extended and
// used-program views.
#include "data/session.h"
#include "link/resumelater.h"
#include "programs/core/programtransfer.h"
#include "programs/ui/editorboxes.h"
#include "programs/ui/extendedmodedialog.h"
#include "programs/ui/programeditordialog.h"
#include "programs/ui/usedprogramdialog.h"
#include "programs_fixture.h"
#include "support/controls.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_messages.h"

#include "storage/database.h"
#include "storage/recordset.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <coroutine>
#include <utility>

namespace velmara::test {
namespace {

class EchoLine : public ProgramLine {
public:
    QCoro::Task<QString> sendProgram(const QString& body) override {
        sent << body;
        if (hold) // the charger takes its time
            co_await ResumeLater{held};
        co_return body + ",G1,";
    }
    QCoro::Task<QString> getProgram(const QString& channel) override {
        sent << channel + ",W";
        if (hold) // a silent charger: the wait ends without an answer
            co_await ResumeLater{held};
        co_return QString();
    }
    void release() { std::exchange(held, {}).resume(); }
    QStringList sent;
    bool hold = false;
    std::coroutine_handle<> held;
};

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
        s.user = session().user();
        s.resetChannels = [this](const QStringList& ch) { reset << ch; };
        s.locale = kGerman;
        return std::make_unique<ProgramEditorDialog>(session(), std::move(s));
    }
    EchoLine line;
    QStringList reset;
};

TEST_F(Dialogs, EveryDeviceModeShowsTheFieldsOfItsFlags) {
    auto d = editor();
    EXPECT_EQ(d->windowTitle(), "velmara - Akkuprogramm - Kanal 3");
    // Until a mode is chosen the current boxes stay.
    EXPECT_TRUE(shown(d.get(), "txtLadestrom") && shown(d.get(), "txtEntladestrom"));
    child<QAbstractButton>(d.get(), "optVorgSpannung")->click();
    child<QCheckBox>(d.get(), "chkSollKapazitaet")->setChecked(true);
    auto* modes = child<QComboBox>(d.get(), "cboGeraeteModi");
    auto rows = session().master()->openRecordset("SELECT * FROM GeraeteModi");
    int seen = 0;
    for (rows->moveFirst(); !rows->isEOF(); rows->moveNext(), ++seen) {
        const int mode = rows->value("ModusNr").toInt();
        SCOPED_TRACE(mode);
        auto flag = [&](const char* c) { return rows->value(c).toInt() != 0; };
        modes->setCurrentIndex(modes->findData(mode));
        if (flag("TSel"))
            child<QCheckBox>(d.get(), "chkSelbstentladung")->setChecked(true);
        const struct {
            const char* flag;
            std::vector<const char*> controls;
        } groups[] = {
            {"LBlock", {"txtLadestrom", "lblLadestrom", "lblAmpereLaden", "cboLadeStromC"}},
            {"EBlock",
             {"txtEntladestrom", "lblEntladestrom", "lblAmpereEntladen", "cboEntladeStromC"}},
            {"TSel",
             {"chkSelbstentladung", "txtSelbstentladungsZeitraum", "optSelbstentladungTage"}},
            {"FormCbo", {"cboModeZyklus"}},
            {"TageText", {"txtZeitraum", "lblZeitraum"}},
            {"Ladeschluss", {"txtLadeschlussSpannung", "lblVoltLade"}},
            {"Entladeschluss", {"txtEntladeschlussSpannung", "lblEntladeschlussSpannung"}},
        };
        for (const auto& g : groups)
            for (const char* c : g.controls)
                EXPECT_EQ(shown(d.get(), c), flag(g.flag)) << c;
        EXPECT_FALSE(shown(d.get(), "cboAkkuType"));
        EXPECT_TRUE(shown(d.get(), "txtKapazitaetAh"));
    }
    EXPECT_EQ(seen, modes->count());

    // The lists are chosen from, not typed into.
    const int before = modes->currentIndex();
    QTest::keyClicks(modes, "Ladenx");
    EXPECT_EQ(modes->currentIndex(), before);
}

// A send waits for the charger's echo: meanwhile only Cancel works, and it
// cannot take back a program the charger has taken: the channel starts anew
// and the editor closes.
TEST_F(Dialogs, SendWaitsForTheChargerResetsTheChannelAndCloses) {
    auto d = editor("003,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000");
    EXPECT_EQ(child<QLineEdit>(d.get(), "txtLadestrom")->text(), "1,000");
    EXPECT_FALSE(child<QAbstractButton>(d.get(), "cmdDeleteButton")->isEnabled());
    d->show();
    line.hold = true;
    ScriptedMessages boxes(session());
    boxes.expect("0980", MsgAnswer::Ok);
    child<QAbstractButton>(d.get(), "cmdSendButton")->click();
    ASSERT_TRUE(line.held);
    for (const char* name : {"cmdSendButton", "cmdProgrammHolen", "txtLadestrom"})
        EXPECT_FALSE(child<QWidget>(d.get(), name)->isEnabled()) << name;
    EXPECT_TRUE(child<QWidget>(d.get(), "cmdCancelButton")->isEnabled());
    auto* progress = child<QLabel>(d.get(), "lblTransfer");
    EXPECT_EQ(progress->text(), "Das Programm wird an Kanal 3 gesendet: Versuch 1 von 3 ...");
    EXPECT_EQ(d->cursor().shape(), Qt::BusyCursor);
    QTest::keyClick(d.get(), Qt::Key_Escape);
    EXPECT_FALSE(d->close());
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->result(), 0); // neither taken nor cancelled yet
    EXPECT_TRUE(progress->text().startsWith("Wird abgebrochen"));

    line.release();
    EXPECT_EQ(line.sent, QStringList({"003,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000"}));
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(reset, QStringList({"003"}));
}

// Cancel while a silent charger is asked: no further attempt, no message, the
// editor stays open with its program and says the transfer was cancelled.
TEST_F(Dialogs, CancelEndsAFetchAfterTheRequestOnTheLine) {
    auto d = editor("003,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000");
    d->show();
    line.hold = true;
    child<QAbstractButton>(d.get(), "cmdProgrammHolen")->click();
    ASSERT_TRUE(line.held);
    auto* progress = child<QLabel>(d.get(), "lblTransfer");
    EXPECT_EQ(progress->text(), "Das Programm wird vom Ladegerät geholt: Versuch 1 von 3 ...");
    child<QAbstractButton>(d.get(), "cmdCancelButton")->click();
    EXPECT_TRUE(d->isVisible());
    line.release();
    EXPECT_EQ(line.sent, QStringList({"003,W"}));
    EXPECT_EQ(progress->text(), "Übertragung abgebrochen.");
    EXPECT_TRUE(child<QWidget>(d.get(), "cmdProgrammHolen")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(d.get(), "txtLadestrom")->text(), "1,000");
    child<QAbstractButton>(d.get(), "cmdCancelButton")->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
}

TEST_F(Dialogs, SaveAsAsksForTheNameAndSelectsTheStoredProgram) {
    auto d = editor("003,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000");
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgAkkuSpeichern", [](QDialog* n) {
        child<QLineEdit>(n, "txtSave")->setText("  Anna's 6 V ");
        return int(QDialog::Accepted);
    });
    child<QAbstractButton>(d.get(), "cmdSaveAsButton")->click();
    auto* stored = child<QComboBox>(d.get(), "cboAkkuProgram");
    EXPECT_EQ(stored->currentText(), "Anna's 6 V");
    EXPECT_TRUE(child<QAbstractButton>(d.get(), "cmdDeleteButton")->isEnabled());
    // A change of the mode leaves the stored program.
    auto* modes = child<QComboBox>(d.get(), "cboGeraeteModi");
    modes->setCurrentIndex(modes->findData(2));
    EXPECT_EQ(stored->currentIndex(), -1);
    EXPECT_FALSE(child<QAbstractButton>(d.get(), "cmdDeleteButton")->isEnabled());
}

TEST_F(Dialogs, AFailedSaveIsToldAndLogged) {
    auto d = editor("003,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000");
    ASSERT_TRUE(session().user()->execute("CREATE TRIGGER refuse BEFORE INSERT ON Programme "
                                          "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgAkkuSpeichern", [](QDialog* n) {
        child<QLineEdit>(n, "txtSave")->setText("Pack");
        return int(QDialog::Accepted);
    });
    session().log().open(session().folder().logPath());
    ScriptedMessages boxes(session());
    boxes.expect("Fehler");
    child<QAbstractButton>(d.get(), "cmdSaveAsButton")->click();
    EXPECT_EQ(boxes.shown.at(0).icon, MsgIcon::Critical);
    QFile log(session().folder().logPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << log.fileName().toStdString();
    EXPECT_TRUE(log.readAll().contains("Programme: ")) << "the reason is logged";
}

// A program without extended fields starts from DefaultLadeende (10 %).
TEST_F(Dialogs, ExtendedSettingsChosenInTheEditorTravelWithTheProgram) {
    auto plain = editor();
    EXPECT_FALSE(shown(plain.get(), "cmdExtendedModus"));
    auto d = editor("003,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000", true);
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

TEST_F(Dialogs, ExtendedDialogEditsOrOnlyShows) {
    ProgramRecord p;
    p.endOfCharge = 100;
    p.leadAcidMode = 2;
    ExtendedModeDialog edit(p, ref, programViewContext(session()));
    EXPECT_EQ(child<QLineEdit>(&edit, "txtLadeende")->text(), "10");
    EXPECT_TRUE(child<QAbstractButton>(&edit, "optBleiakkuMode1")->isChecked());
    child<QAbstractButton>(&edit, "optQ2")->click();
    child<QAbstractButton>(&edit, "cmdOk")->click();
    EXPECT_EQ(edit.result(), QDialog::Accepted);
    EXPECT_EQ(edit.program().endOfCharge, 100);
    EXPECT_EQ(edit.program().leadAcidMode, 0);
    EXPECT_EQ(edit.program().qMode, 1);

    ExtendedModeDialog blank(p, ref, programViewContext(session()));
    child<QLineEdit>(&blank, "txtLadeende")->clear();
    ScriptedMessages boxes(session());
    boxes.expect("7054");
    child<QAbstractButton>(&blank, "cmdOk")->click();
    EXPECT_NE(blank.result(), QDialog::Accepted);

    ExtendedModeDialog view(p, ref, programViewContext(session()));
    view.setEditableFalse();
    EXPECT_FALSE(shown(&view, "cmdOk"));
    EXPECT_FALSE(child<QWidget>(&view, "optBleiakkuMode2")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>(&view, "txtLadeende")->isReadOnly());
}

TEST_F(Dialogs, UsedProgramOffersTheExtendedViewOnlyWhenTheProgramHadIt) {
    UsedProgramDialog plain(parsed("001,P,A05,M06,Z06,F1,W14,L01000,E00500,V08400,D06000"), ref,
                            programViewContext(session()), kGerman);
    EXPECT_EQ(plain.objectName(), "dlgUsedProgram");
    EXPECT_FALSE(shown(&plain, "cmdExtendedModus"));
    EXPECT_EQ(child<QLineEdit>(&plain, "txtZeitraum")->text(), "14");
    EXPECT_TRUE(shown(&plain, "txtZeitraum"));
    for (const char* absent : {"cboAkkuProgram", "cmdSendButton", "cmdSaveAsButton"})
        EXPECT_EQ(plain.findChild<QWidget*>(absent), nullptr) << absent;
    // Nothing here can be kept: no field takes input.
    for (QLineEdit* e : plain.findChildren<QLineEdit*>())
        EXPECT_TRUE(e->isReadOnly()) << e->objectName().toStdString();
    for (const char* name : {"cboGeraeteModi", "optAkkuTyp", "chkSollKapazitaet"})
        EXPECT_FALSE(child<QWidget>(&plain, name)->isEnabled()) << name;

    UsedProgramDialog ext(
        parsed("001,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D06000,S1,C0,B0,H1,N100"), ref,
        programViewContext(session()), kGerman);
    ASSERT_TRUE(shown(&ext, "cmdExtendedModus"));
    ScriptedDialogs dialogs(session().prompter());
    dialogs.expect("dlgErweiterterProgrammiermodus", [](QDialog* e) {
        EXPECT_FALSE(shown(e, "cmdOk"));
        EXPECT_TRUE(child<QAbstractButton>(e, "optLiIonMode2")->isChecked());
        return int(QDialog::Rejected);
    });
    child<QAbstractButton>(&ext, "cmdExtendedModus")->click();
}

// Laid out in either language, no caption is cut.
TEST_F(Dialogs, CaptionsFitInGermanAndEnglish) {
    for (const char* language : {"de", "en"}) {
        session().texts().setLanguageKey(language);
        auto d = editor("003,P,A02,M08,Z06,P080,F1,W30,K02000,L01000,E00500,V07200,D06000,YH012");
        d->adjustSize();
        d->show();
        for (QWidget* w : d->findChildren<QWidget*>()) {
            if (!w->isVisible() || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)))
                continue;
            EXPECT_GE(w->width(), w->sizeHint().width())
                << language << " " << w->objectName().toStdString();
        }
        d->hide();
    }
}

} // namespace
} // namespace velmara::test
