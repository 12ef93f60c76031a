// The editor's buttons over a scripted line (its questions answered from a
// script), the named programs and the extended settings.
#include "link/chargermodel.h"
#include "programs/core/extendedsettings.h"
#include "programs/core/programeditorsession.h"
#include "programs/core/programlibrary.h"
#include "programs/core/programtransfer.h"
#include "programs_fixture.h"

namespace velmara::test {
namespace {

class EditorSession : public ProgramsTest {
public:
    void SetUp() override {
        ProgramsTest::SetUp();
        library = std::make_unique<ProgramLibrary>(&session().stores().programs());
        editor = std::make_unique<ProgramEditorSession>(*model, options(), &line, library.get());
        editor->channel = "002";
        editor->resetChannels = [this](const QStringList& ch) { reset << ch; };
        editor->focusControl = [this](const QString& name) { focus = name; };
        editor->showCheck = [this](const EditorMessage& m) { checks.push_back(m); };
        editor->ask = [this](const EditorQuestion& q) {
            EXPECT_FALSE(answers.empty()) << "unexpected box " << q.textKey.toStdString();
            if (answers.empty())
                return MsgAnswer::Cancel;
            const auto [key, answer] = answers.front();
            answers.pop_front();
            EXPECT_EQ(q.textKey, key);
            return answer;
        };
        model->chooseBatteryDefinition(BatteryDefinition::PresetVoltages);
        model->chooseDeviceMode(1);
        model->setText(Box::ChargeEndVoltage, "8,4");
        model->setText(Box::ChargeCurrent, "1");
    }
    void TearDown() override {
        EXPECT_TRUE(answers.empty()) << "boxes not shown";
        editor.reset();
        library.reset();
        ProgramsTest::TearDown();
    }
    void script(std::initializer_list<std::pair<QString, MsgAnswer>> boxes) {
        answers.insert(answers.end(), boxes);
    }

    FakeProgramLine line;
    std::unique_ptr<ProgramLibrary> library;
    std::unique_ptr<ProgramEditorSession> editor;
    QStringList reset;
    QString focus;
    std::vector<EditorMessage> checks;
    std::deque<std::pair<QString, MsgAnswer>> answers;
};

// The attempts themselves: LineTransfer.
TEST_F(EditorSession, SendIsConfirmedFirstAndResetsTheChannelOnlyWhenTaken) {
    script({{"0980", MsgAnswer::Cancel}});
    EXPECT_FALSE(QCoro::waitFor(editor->send()));
    EXPECT_TRUE(line.sent.isEmpty());

    script({{"0980", MsgAnswer::Ok}, {"0976", MsgAnswer::Ok}});
    line.answers = {"", "", ""};
    EXPECT_FALSE(QCoro::waitFor(editor->send()));
    EXPECT_TRUE(reset.isEmpty());

    script({{"0980", MsgAnswer::Ok}});
    EXPECT_TRUE(QCoro::waitFor(editor->send()));
    EXPECT_EQ(reset, QStringList({"002"}));
}

TEST_F(EditorSession, WithoutAnAnswerNothingIsSentOrDeleted) {
    editor->ask = nullptr;
    EXPECT_FALSE(QCoro::waitFor(editor->send()));
    EXPECT_TRUE(line.sent.isEmpty());
    model->setStoredProgramId(library->save("x", "002,P,A05", [] { return true; }).id);
    EXPECT_FALSE(editor->deleteSelected());
    EXPECT_EQ(rows(), 1);
}

TEST_F(EditorSession, AFailedCheckSendsNothingAndFocusesTheField) {
    model->setText(Box::ChargeCurrent, "9");
    EXPECT_FALSE(QCoro::waitFor(editor->send()));
    EXPECT_EQ(focus, "txtLadestrom");
    EXPECT_EQ(checks.size(), 1u);
    EXPECT_TRUE(line.sent.isEmpty());
}

// Each channel gets its own text; channel 3 refuses it.
TEST_F(EditorSession, SendToAllResetsTheChannelsThatTookTheProgram) {
    script({{"0980", MsgAnswer::Ok}, {"0976", MsgAnswer::Ok}});
    line.answers = {"echo", "echo", "", "", ""};
    EXPECT_FALSE(QCoro::waitFor(editor->sendToAll()));
    EXPECT_EQ(reset, QStringList({"001", "002"}));
    EXPECT_TRUE(line.sent.last().startsWith("003,P,A05"));
}

TEST_F(EditorSession, FetchShowsTheRunningProgramOrSaysWhy) {
    line.answers = {"002,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,"};
    model->setStoredProgramId(4);
    EXPECT_TRUE(QCoro::waitFor(editor->fetch()));
    EXPECT_EQ(model->text(Box::DischargeEndVoltage), "6,000");
    EXPECT_FALSE(model->deleteEnabled());
    EXPECT_EQ(model->program().endOfCharge, 100); // DefaultLadeende: the charger sent none

    script({{"0993", MsgAnswer::Ok}, {"0974", MsgAnswer::Ok}});
    line.answers = {"002,M,SK,"};
    EXPECT_FALSE(QCoro::waitFor(editor->fetch()));
    EXPECT_FALSE(QCoro::waitFor(editor->fetch())); // silent
    EXPECT_EQ(model->deviceModeNumber(), 2);       // the editor keeps its program
}

TEST_F(EditorSession, SaveUnderAnExistingNameAnsweringNoKeepsTheLibrary) {
    editor->askProgramName = [] { return QString(" O'Brien 6 cells "); };
    EXPECT_TRUE(editor->saveAs());
    const qint64 id = model->storedProgramId();
    EXPECT_EQ(library->byId(id).text, "002,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D01000");

    model->setText(Box::ChargeCurrent, "2");
    script({{"0992", MsgAnswer::No}});
    EXPECT_FALSE(editor->saveAs());
    EXPECT_TRUE(library->byId(id).text.contains("L01000"));
    script({{"0992", MsgAnswer::Yes}, {"0994", MsgAnswer::Yes}});
    EXPECT_TRUE(editor->saveAs());
    EXPECT_EQ(rows(), 1);
    EXPECT_TRUE(library->byId(id).text.contains("L02000"));

    // Loading it shows it; deleting removes it.
    model->clearProgramSelection();
    EXPECT_TRUE(editor->loadStored(id));
    EXPECT_EQ(model->text(Box::ChargeCurrent), "2,000");
    EXPECT_TRUE(editor->deleteSelected());
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(model->deleteEnabled());
}

TEST_F(EditorSession, AFailedSaveOrDeleteHandsOverTheReason) {
    QString reason;
    editor->saveFailed = [&](const QString& r) { reason = r; };
    editor->deleteFailed = [&](const QString& r) { reason = "delete: " + r; };
    editor->askProgramName = [] { return QString("x"); };
    const qint64 id = library->save("y", "002,P,A05", [] { return true; }).id;
    for (const char* when : {"INSERT", "DELETE"})
        ASSERT_TRUE(session().user()->execute(QString("CREATE TRIGGER refuse%1 BEFORE %1 ON "
                                                      "Programme BEGIN SELECT RAISE(ABORT, "
                                                      "'refused'); END")
                                                  .arg(when)));
    EXPECT_FALSE(editor->saveAs());
    EXPECT_TRUE(reason.contains("refused")) << reason.toStdString();
    EXPECT_EQ(model->storedProgramId(), -1);

    model->setStoredProgramId(id);
    script({{"0994", MsgAnswer::Yes}});
    EXPECT_FALSE(editor->deleteSelected());
    EXPECT_TRUE(reason.startsWith("delete: ") && reason.contains("refused"))
        << reason.toStdString();
    EXPECT_TRUE(model->deleteEnabled()); // still there: can be tried again
}

TEST_F(EditorSession, AReportedProgramIsShownOnlyOnYes) {
    ProgramRecord reported = parsed("002,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000");
    script({{"0996", MsgAnswer::No}, {"0996", MsgAnswer::Yes}});
    EXPECT_FALSE(editor->programChangedFromOutside(reported));
    EXPECT_EQ(model->deviceModeNumber(), 1);
    EXPECT_TRUE(editor->programChangedFromOutside(reported));
    EXPECT_EQ(model->deviceModeNumber(), 2);
    EXPECT_EQ(model->program().endOfCharge, 100);
}

// A stored program without its own end of charge starts from DefaultLadeende.
TEST(ProgramOptionsTest, DefaultEndOfChargeIsReadAsDigits) {
    for (auto [text, tenths] :
         {std::pair{"250", 250}, {" 30 ", 30}, {"-5", 0}, {"x", 0}, {"", 0}}) {
        const ProgramOptions o = loadProgramOptions(
            [&](const QString& key) { return key == "DefaultLadeende" ? QString(text) : ""; });
        EXPECT_EQ(o.defaultEndOfCharge, tenths) << text;
    }
}

// --- the named programs of the user file and the extended settings

class Library : public ProgramsTest {
public:
    QString stored(const QString& name) {
        auto rs = session().user()->openRecordset("SELECT * FROM Programme");
        for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
            if (rs->text("Bez") == name)
                return rs->text("Daten");
        return "(none)";
    }
    using Outcome = ProgramLibrary::SaveOutcome;
    static constexpr auto never = [] { return ADD_FAILURE() << "asked to overwrite", false; };
};

// Names are trimmed and found again whatever their letter case or quotes; the
// answers to the overwrite question: EditorSession.SaveUnderAnExistingName...
TEST_F(Library, SavedNamesAreFoundAgain) {
    ProgramLibrary lib(&session().stores().programs());
    ASSERT_TRUE(lib.isValid());
    const auto first = lib.save("  Pack A ", "001,P,A05", never);
    EXPECT_EQ(first.outcome, Outcome::Inserted);
    const auto over = lib.save("pack a", "001,P,A02", [] { return true; });
    EXPECT_EQ(over.outcome, Outcome::Overwritten);
    EXPECT_EQ(over.id, first.id);
    EXPECT_EQ(stored("Pack A"), "001,P,A02");
    EXPECT_EQ(lib.save("   ", "x", never).outcome, Outcome::NoName);
    for (const char* name : {"Bob's pack", "it''s", "a' OR '1'='1", "\"quoted\""}) {
        EXPECT_EQ(lib.save(name, "001,P,A01", never).outcome, Outcome::Inserted) << name;
        EXPECT_EQ(lib.save(name, "x", [] { return false; }).outcome, Outcome::Kept) << name;
        EXPECT_EQ(stored(name), "001,P,A01");
    }
    EXPECT_EQ(rows(), 5);
}

// Listed as a reader orders names, not by their bytes.
TEST_F(Library, ListLoadAndDelete) {
    ProgramLibrary lib(&session().stores().programs(), kGerman);
    const qint64 b = lib.save("Zelle", "002,P,A02", never).id;
    const qint64 a = lib.save("akku 1", "001,P,A01", never).id;
    lib.save("Ölpack", "001,P,A03", never);
    QStringList names;
    for (const StoredProgram& p : lib.programs())
        names << p.name;
    EXPECT_EQ(names, QStringList({"akku 1", "Ölpack", "Zelle"}));
    EXPECT_EQ(lib.byId(b).text, "002,P,A02");
    EXPECT_EQ(lib.byId(999).id, -1);
    EXPECT_TRUE(lib.remove(a));
    EXPECT_FALSE(lib.remove(a));
    EXPECT_EQ(lib.lastError(), ""); // gone, no fault
}

class Extended : public ProgramsTest {};

TEST_F(Extended, ChoicesRoundTripThroughTheRecord) {
    ProgramRecord p;
    p.endOfCharge = 100;
    p.leadAcidMode = 2; // only 1 selects mode 2
    p.lithiumIonMode = p.uMode = 1;
    p.programmingLocked = true;
    const ExtendedChoices c = extendedChoicesOf(p, kGerman);
    EXPECT_EQ(c.endOfCharge, "10");
    EXPECT_EQ((std::vector<bool>{c.leadMode2, c.liIonMode2, c.locked, c.u2}),
              (std::vector<bool>{false, true, true, true}));
    ProgramRecord back;
    EXPECT_FALSE(collectExtended(c, ref, back, kGerman));
    EXPECT_EQ((std::vector<int>{back.endOfCharge, back.leadAcidMode, back.lithiumIonMode,
                                back.programmingLocked, back.uMode, back.qMode}),
              (std::vector<int>{100, 0, 1, 1, 1, 0}));
}

TEST_F(Extended, EndOfChargeIsCheckedBeforeItIsTaken) {
    const struct {
        const char* text;
        const char* key; // "" accepted
    } cases[] = {{"25", ""},     {" ", "7054"},     {"0", "7050"},
                 {"51", "7050"}, {"99999", "7050"}, {"x", "7050"}};
    for (const auto& c : cases) {
        ExtendedChoices choices;
        choices.endOfCharge = c.text;
        ProgramRecord p;
        p.endOfCharge = 77;
        const CheckResult r = collectExtended(choices, ref, p, kGerman);
        EXPECT_EQ(r ? (r->isLimits() ? r->keyA : r->key) : QString(), c.key) << c.text;
        EXPECT_EQ(p.endOfCharge, *c.key ? 77 : 250) << c.text;
    }
}

} // namespace
} // namespace velmara::test
