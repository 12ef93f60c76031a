// The program text built from the editor's fields, the echo check, and the
// three attempts of sending and fetching over a scripted line.
#include "programs/core/programtext.h"
#include "programs/core/programtransfer.h"
#include "programs_fixture.h"

namespace velmara::test {
namespace {

class ProgramText : public ProgramsTest {
public:
    QString build(const QString& channel = "002") {
        return buildProgramString(*model, channel, opts);
    }
    // Shows a stored text in the editor.
    void show(const char* text) {
        model->setProgram(parsed(text));
        model->initFromProgram();
    }
    ProgramOptions opts = options();
};

TEST_F(ProgramText, PresetVoltagesWithDefaults) {
    model->chooseBatteryDefinition(BatteryDefinition::PresetVoltages);
    model->chooseDeviceMode(1);
    model->chooseCycleCode(0);
    model->setText(Box::ChargeEndVoltage, "14,4");
    model->setText(Box::DischargeEndVoltage, "10,5");
    model->setText(Box::ChargeCurrent, "2,0");
    model->setText(Box::DischargeCurrent, "1,0");
    EXPECT_EQ(build(), "002,P,A05,M01,Z06,F0,W30,L02000,E01000,V14400,D10500");

    // 0 A goes as the default current, an empty discharge end as its default.
    model->setText(Box::ChargeCurrent, "0");
    model->setText(Box::DischargeEndVoltage, "");
    model->setText(Box::Period, "7");
    EXPECT_EQ(build("001"), "001,P,A05,M01,Z06,F0,W07,L00500,E01000,V14400,D01000");

    // Mode 1 hides the discharge current: its value goes as it is while it
    // lies within its limits, else as 0 (and so as the default).
    for (auto [text, field] : {std::pair{"0,06", ",E00060,"}, {"0,01", ",E00500,"}}) {
        model->setText(Box::DischargeCurrent, text);
        EXPECT_TRUE(build().contains(field)) << build().toStdString();
    }
}

TEST_F(ProgramText, TargetCapacityAndSelfDischargeFields) {
    model->chooseBatteryDefinition(BatteryDefinition::BatteryType);
    model->chooseBatteryType(2); // NiMH, 1.2 V a cell
    model->pickNominalVoltage("8,4 V");
    model->chooseDeviceMode(8);
    model->chooseCycleCode(1);
    model->setTargetCapacity(true);
    model->setText(Box::Capacity, "2,5");
    model->setText(Box::Percent, "80");
    model->setText(Box::ChargeCurrent, "1,25");
    model->setText(Box::DischargeCurrent, "0,5");
    model->setSelfDischarge(true);
    model->chooseSelfDischargeHours(true);
    model->setText(Box::SelfDischarge, "12");
    EXPECT_EQ(build(), "002,P,A02,M08,Z07,P080,F1,W30,K02500,L01250,E00500,V08400,D01000,YH012");
    model->setText(Box::Capacity, "100"); // one past the field's five digits: travels as 0
    EXPECT_TRUE(build().contains(",K00000,")) << build().toStdString();
}

TEST_F(ProgramText, ExtendedFieldsFollowTheSettings) {
    show("003,P,A04,M01,Z03,F0,W30,L01000,E00500,V10800,D09000");
    ProgramRecord ext;
    ext.programmingLocked = ext.withoutLoad = true;
    ext.leadAcidMode = 2; // any value but 0 goes as 1
    ext.endOfCharge = 150;
    ext.chargeMode = 1;
    ext.uMode = 2; // only 1 goes as 1
    model->setExtendedFields(ext);
    const QString base = "003,P,A04,M01,Z03,F0,W30,L01000,E00500,V10800,D01000";
    EXPECT_EQ(build("003"), base);
    opts.extensionAvailable = true;
    opts.extensionWithSwitches = false;
    EXPECT_EQ(build("003"), base + ",S0,C1,B1,H0,N150");
    opts.extensionWithSwitches = true;
    EXPECT_EQ(build("003"), base + ",S0,C1,B1,H0,N150,O1,Q0,U0");
}

// A stored text shown in the editor builds the same text again.
TEST_F(ProgramText, StoredTextsComeBackUnchanged) {
    for (const char* text : {
             "002,P,A05,M01,Z06,F0,W30,L02000,E01000,V14400,D10500",
             "001,P,A01,M03,Z10,P080,F0,W30,K02000,L01000,E01000,V12000,D01000,YD007",
             "004,P,A05,M06,Z06,F1,W14,L01500,E00750,V08400,D06000",
             "001,P,A07,M05,Z04,F3,W30,L02000,E02000,V13200,D01000",
         }) {
        show(text);
        EXPECT_EQ(build(QString(text).left(3)), text);
    }
}

TEST(EchoCheck, TrailingFieldsOfTheChargerAreRemoved) {
    const QString sent = "001,P,A05,M01,Z06,F0,W30,L02000,E01000,V14400,D10500";
    const QString ext = sent + ",S1,C0,B0,H0,N100";
    const struct {
        QString sent, answer;
        bool extension, match;
    } cases[] = {
        {sent, sent + ",G1,", false, true},
        {sent, sent + ",G1,", true, true},
        {sent, sent.chopped(1) + "1,G1,", false, false}, // one digit differs
        {sent, sent + ",", false, false},                // no G
        {sent, "", false, false},
        {sent, "-1", false, false},
        {sent, "001,M,SA,", false, false},
        {ext, ext + ",G2,R4,", true, true},
        {ext, ext + ",G2,R4,", false, false}, // without the setting R stays
        {ext, ext.toLower() + ",G2,R4,", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(echoMatches(c.sent, c.answer, c.extension), c.match) << c.answer.toStdString();
}

TEST(LineTransfer, ASendEndsAtTheFirstMatchingEchoOrAfterThreeAttempts) {
    const QString text = "001,P,A05,M01,Z06,F0,W30,L02000,E01000,V14400,D10500";
    const struct {
        std::deque<QString> answers;
        SendOutcome outcome;
        int requests;
    } cases[] = {
        {{text + "1,G1,", "", "001,M,SK,", "echo"}, SendOutcome::Refused, 3},
        {{"-1", "echo"}, SendOutcome::Accepted, 2},
    };
    for (const auto& c : cases) {
        FakeProgramLine line;
        line.answers = c.answers;
        EXPECT_EQ(QCoro::waitFor(sendProgramText(line, text, false)), c.outcome);
        EXPECT_EQ(line.sent, QStringList(c.requests, text));
    }
}

TEST(LineTransfer, SendToAllStopsAtTheChannelThatRefuses) {
    FakeProgramLine line;
    line.answers = {"echo", "", "echo", "", "", ""};
    const SendAllResult r = QCoro::waitFor(sendToAllChannels(
        line, [](const QString& ch) { return ch + ",P,A05"; }, false));
    EXPECT_EQ(r.accepted, QStringList({"001", "002"}));
    EXPECT_EQ(r.failed, "003");
    EXPECT_EQ(line.sent, QStringList({"001,P,A05", "002,P,A05", "002,P,A05", "003,P,A05",
                                      "003,P,A05", "003,P,A05"}));
}

// A stop asked while a request is out ends the transfer before the next one.
TEST(LineTransfer, AStopEndsTheTransferBetweenRequests) {
    QStringList attempts;
    TransferWatch watch;
    watch.attempt = [&](const QString& ch, int n) { attempts << ch + "/" + QString::number(n); };
    watch.stop = [&] { return attempts.size() == 2; };

    FakeProgramLine silent;
    EXPECT_EQ(QCoro::waitFor(fetchProgram(silent, "002", watch)).outcome, FetchResult::Stopped);
    EXPECT_EQ(attempts, QStringList({"002/1", "002/2"}));
    EXPECT_EQ(silent.sent.size(), 2);

    attempts.clear();
    FakeProgramLine line;
    const SendAllResult r = QCoro::waitFor(sendToAllChannels(
        line, [](const QString& ch) { return ch + ",P,A05"; }, false, watch));
    EXPECT_TRUE(r.stopped);
    EXPECT_FALSE(r.ok());
    // The request out when the stop came still counts.
    EXPECT_EQ(r.accepted, QStringList({"001", "002"}));
    EXPECT_EQ(attempts, QStringList({"001/1", "002/1"}));
}

TEST(LineTransfer, FetchTriesThreeTimes) {
    const QString program = "002,P,A05,M02,Z06,F1,W30,L01000,E00500,V08400,D06000,G1,";
    const struct {
        std::deque<QString> answers;
        FetchResult::Outcome outcome;
        const char* key;
        int requests;
    } cases[] = {
        {{"", "-1", program}, FetchResult::Fetched, "", 3},
        {{"", "-1", "garbage", program}, FetchResult::NoAnswer, "0974", 3},
        {{"002,M,SK,"}, FetchResult::NoProgram, "0993", 1},
    };
    for (const auto& c : cases) {
        FakeProgramLine line;
        line.answers = c.answers;
        const FetchResult r = QCoro::waitFor(fetchProgram(line, "002"));
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.messageKey(), c.key);
        EXPECT_EQ(line.sent.size(), c.requests);
        EXPECT_EQ(line.sent.first(), "002,W");
    }
}

} // namespace
} // namespace velmara::test
