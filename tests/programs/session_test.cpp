// The editor's buttons over a scripted line and the delivered user file, with
// every question answered by the scripted message seam.
#include "programs/core/programeditorsession.h"
#include "programs/core/programlibrary.h"
#include "programs/core/programtransfer.h"
#include "programs_fixture.h"
#include "support/scripted_messages.h"

#include "storage/database.h"

#include <deque>

namespace velmara::test {
namespace {

// Echoes what is sent while a channel is listed as good, answers "" otherwise.
class ChargerLine : public ProgramLine {
public:
    QCoro::Task<QString> sendProgram(const QString& body) override {
        sent << body;
        co_return good.contains(body.left(3)) ? body + ",G1," : QString();
    }
    QCoro::Task<QString> getProgram(const QString& channel) override {
        sent << channel + ",W";
        co_return running;
    }
    QStringList good = AllChannels;
    QStringList sent;
    QString running;
};

class Session : public ProgramsTest {
public:
    void SetUp() override {
        ProgramsTest::SetUp();
        library = std::make_unique<ProgramLibrary>(userDatabase());
        session = std::make_unique<ProgramEditorSession>(*model, options(), &line, library.get());
        session->channel = "002";
        session->resetChannels = [this](const QStringList& ch) { reset << ch; };
        session->focusControl = [this](const QString& name) { focus = name; };
        model->chooseBatteryDefinition(BatteryDefinition::PresetVoltages);
        model->chooseDeviceMode(1);
        model->setText(Box::ChargeEndVoltage, "8,4");
        model->setText(Box::ChargeCurrent, "1");
    }
    void TearDown() override {
        session.reset();
        library.reset();
        ProgramsTest::TearDown();
    }
    static int rows() { return userDatabase()->scalar("SELECT COUNT(*) FROM Programme").toInt(); }

    ChargerLine line;
    std::unique_ptr<ProgramLibrary> library;
    std::unique_ptr<ProgramEditorSession> session;
    QStringList reset;
    QString focus;
};

TEST_F(Session, SendClosesOnlyAfterAMatchingEcho) {
    {
        ScriptedMessages boxes;
        boxes.expect("0980", MsgAnswer::Cancel);
        EXPECT_FALSE(QCoro::waitFor(session->send()));
        EXPECT_TRUE(line.sent.isEmpty());
    }
    {
        ScriptedMessages boxes;
        boxes.expect("0980", MsgAnswer::Ok).expect("0976");
        line.good.clear();
        EXPECT_FALSE(QCoro::waitFor(session->send()));
        EXPECT_EQ(line.sent.size(), TransferAttempts);
        EXPECT_TRUE(reset.isEmpty());
    }
    ScriptedMessages boxes;
    boxes.expect("0980", MsgAnswer::Ok);
    line.good = AllChannels;
    EXPECT_TRUE(QCoro::waitFor(session->send()));
    EXPECT_EQ(reset, QStringList({"002"}));
}

TEST_F(Session, AFailedCheckSendsNothingAndFocusesTheField) {
    ScriptedMessages boxes;
    boxes.expect("0959");
    model->setText(Box::ChargeCurrent, "9");
    EXPECT_FALSE(QCoro::waitFor(session->send()));
    EXPECT_EQ(focus, "txtLadestrom");
    EXPECT_TRUE(line.sent.isEmpty());
    EXPECT_EQ(boxes.shown.at(0).text, "Der Ladestrom muss zwischen 0,05 A und 5 A liegen.");
}

TEST_F(Session, SendToAllResetsTheChannelsThatTookTheProgram) {
    ScriptedMessages boxes;
    boxes.expect("0980", MsgAnswer::Ok).expect("0976");
    line.good = {"001", "002", "004"};
    EXPECT_FALSE(QCoro::waitFor(session->sendToAll()));
    EXPECT_EQ(reset, QStringList({"001", "002"}));
    EXPECT_EQ(session->channel, "002");
    for (const QString& s : line.sent)
        EXPECT_FALSE(s.startsWith("004")) << s.toStdString();
    EXPECT_TRUE(line.sent.last().startsWith("003,P,A05"));
}

TEST_F(Session, FetchShowsTheRunningProgramOrSaysWhy) {
    line.running = "002,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    model->setStoredProgramId(4);
    EXPECT_TRUE(QCoro::waitFor(session->fetch()));
    EXPECT_EQ(model->deviceModeNumber(), 2);
    EXPECT_EQ(model->text(Box::DischargeEndVoltage), "6,000");
    EXPECT_FALSE(model->deleteEnabled());

    ScriptedMessages boxes;
    boxes.expect("0993").expect("0974");
    line.running = "002,M,SK,";
    EXPECT_FALSE(QCoro::waitFor(session->fetch()));
    EXPECT_EQ(boxes.shown.at(0).icon, MsgIcon::Information);
    line.running = "";
    EXPECT_FALSE(QCoro::waitFor(session->fetch()));
    EXPECT_EQ(model->deviceModeNumber(), 2); // the editor keeps its program
}

TEST_F(Session, SaveUnderAnExistingNameAnsweringNoKeepsTheLibrary) {
    session->askProgramName = [] { return QString(" O'Brien 6 cells "); };
    EXPECT_TRUE(session->saveAs());
    const qint64 id = model->storedProgramId();
    EXPECT_GE(id, 0);
    const QString first = library->byId(id).text;
    EXPECT_EQ(first, "002,P,A05,M01,Z06,F1,W30,L01000,E00500,V08400,D01000");

    model->setText(Box::ChargeCurrent, "2");
    {
        ScriptedMessages boxes;
        boxes.expect("0992", MsgAnswer::No);
        EXPECT_FALSE(session->saveAs());
        EXPECT_EQ(rows(), 1);
        EXPECT_EQ(library->byId(id).text, first);
    }
    ScriptedMessages boxes;
    boxes.expect("0992", MsgAnswer::Yes).expect("0994", MsgAnswer::Yes);
    EXPECT_TRUE(session->saveAs());
    EXPECT_EQ(rows(), 1);
    EXPECT_TRUE(library->byId(id).text.contains("L02000"));

    // Loading it shows it; deleting removes it.
    model->clearProgramSelection();
    EXPECT_TRUE(session->loadStored(id));
    EXPECT_EQ(model->text(Box::ChargeCurrent), "2,000");
    EXPECT_TRUE(model->deleteEnabled());
    EXPECT_TRUE(session->deleteSelected());
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(model->deleteEnabled());
}

TEST_F(Session, AReportedProgramIsShownOnlyOnYes) {
    ProgramRecord reported = parsed("002,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000");
    ScriptedMessages boxes;
    boxes.expect("0996", MsgAnswer::No).expect("0996", MsgAnswer::Yes);
    EXPECT_FALSE(session->programChangedFromOutside(reported));
    EXPECT_EQ(model->deviceModeNumber(), 1);
    EXPECT_TRUE(session->programChangedFromOutside(reported));
    EXPECT_EQ(model->deviceModeNumber(), 2);
}

} // namespace
} // namespace velmara::test
