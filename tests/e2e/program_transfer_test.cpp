// A program built with the editor's rules goes to the simulated charger over a
// pseudo-terminal: the charger takes it and gives it back field for field.
#include "sim_channel.h"

#include "programs/core/programeditormodel.h"
#include "programs/core/programoptions.h"
#include "programs/core/programreference.h"
#include "programs/core/programtext.h"
#include "programs/core/programtransfer.h"

namespace velmara::test {
namespace {

class ProgramTransfer : public SimChannelTest {
protected:
    QStringList simulatorArguments() const override {
        return {"--channels", "4", "--speed", "60", "--battery", "2,NiMH,6,2000,20"};
    }
    void SetUp() override {
        SimChannelTest::SetUp();
        line = std::make_unique<LinkProgramLine>(link);
    }
    void TearDown() override {
        line.reset();
        SimChannelTest::TearDown();
    }

    // NiMH, 6 cells, charge at 1.5 A, discharge at 0.5 A to 6 V, device mode 1 (charge).
    ProgramEditorModel nimhCharge() {
        reference = loadProgramReference(folder.session().master(), "QMT4", "de");
        ProgramEditorModel m(reference, kGerman); // the model keeps a reference to the rows
        m.chooseBatteryDefinition(BatteryDefinition::BatteryType);
        m.chooseBatteryType(2);
        m.pickCellCount("6");
        m.chooseDeviceMode(1);
        m.setText(Box::ChargeCurrent, "1,500");
        m.setText(Box::DischargeCurrent, "0,500");
        m.setText(Box::DischargeEndVoltage, "6,000");
        return m;
    }

    const QLocale kGerman{QLocale::German, QLocale::Germany};
    ProgramReference reference;
    std::unique_ptr<LinkProgramLine> line;
};

TEST_F(ProgramTransfer, SentProgramComesBackFieldForField) {
    const ProgramEditorModel model = nimhCharge();
    ASSERT_FALSE(model.checkBeforeTransfer().has_value());
    const ProgramOptions options;
    const QString text = buildProgramString(model, "002", options);
    ASSERT_EQ(QCoro::waitFor(sendProgramText(*line, text, options.extensionAvailable)),
              SendOutcome::Accepted)
        << text.toStdString();

    const FetchResult fetched = QCoro::waitFor(fetchProgram(*line, "002"));
    ASSERT_EQ(fetched.outcome, FetchResult::Fetched);
    const ProgramRecord& p = fetched.program;
    EXPECT_EQ(p.channelCode, ChannelCode(2));
    EXPECT_EQ(p.batteryType, 2);
    EXPECT_EQ(p.cellCount, 6);
    EXPECT_EQ(p.deviceMode, 1);
    EXPECT_EQ(p.chargeCurrentMa, 1500);
    EXPECT_EQ(p.dischargeCurrentMa, 500);
    EXPECT_EQ(p.dischargeEndVoltageMv, 6000);
}

} // namespace
} // namespace velmara::test
