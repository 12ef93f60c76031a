// The editor's rules on the delivered reference rows: lists, rates, field checks
// against the limits rows, and the checks before a program leaves the editor.
#include "programs_fixture.h"

namespace velmara::test {
namespace {

class Editor : public ProgramsTest {};

TEST_F(Editor, ReferenceRowsFollowTheChargerFamily) {
    EXPECT_EQ(ref.batteryType(1)->maxCells, 24);
    EXPECT_DOUBLE_EQ(ref.limit("L")->max, 5.0);
    useCharger("QMT1", "en");
    EXPECT_EQ(ref.batteryType(1)->maxCells, 30);
    EXPECT_DOUBLE_EQ(ref.limit("L")->max, 10.0);
}

// A voltage between two counts goes to the even count.
TEST(EditorLists, CellCountsAndNominalVoltagesFollowEachOther) {
    ProgramReference r;
    r.batteryTypes = {{12, 1.0, 1, 5, "B"}};
    ProgramEditorModel m(r, QLocale::c());
    m.chooseBatteryType(12);
    EXPECT_EQ(m.cellCountList(), QStringList({"1", "2", "3", "4", "5"}));
    m.pickCellCount("3");
    EXPECT_EQ(m.nominalVoltageText(), "3 V");
    for (auto [volts, cells] : {std::pair{"2.5 V", "2"}, {"3.5 V", "4"}, {"4.4 V", "4"}}) {
        m.pickNominalVoltage(volts);
        EXPECT_EQ(m.cellCountText(), cells) << volts;
    }
}

TEST_F(Editor, RateTimesCapacityWritesTheCurrent) {
    model->setTargetCapacity(true);
    model->setText(Box::ChargeCurrent, "0,700");
    model->chooseChargeRate(3); // capacity still 0: nothing written
    EXPECT_EQ(model->text(Box::ChargeCurrent), "0,700");

    model->setText(Box::Capacity, "2,000");
    model->chooseChargeRate(3);
    EXPECT_EQ(model->text(Box::ChargeCurrent), "1,000");
    EXPECT_EQ(model->chargeRateIndex(), 3);
    model->setText(Box::ChargeCurrent, "1,2");
    EXPECT_EQ(model->chargeRateIndex(), -1);

    model->setText(Box::Capacity, "3");
    model->chooseDischargeRate(2);
    EXPECT_EQ(model->text(Box::DischargeCurrent), "0,990");
}

TEST_F(Editor, LeavingABoxChecksItsLimitsRow) {
    const struct {
        Box box;
        bool hours;
        const char *text, *fault, *after; // fault: key and limits, "" passes
    } cases[] = {
        {Box::ChargeCurrent, false, "1,5", "", "1,500"},
        {Box::ChargeCurrent, false, "", "", ""},
        {Box::ChargeCurrent, false, "5,5", "0959 0.05..5", "5,500"},
        {Box::DischargeCurrent, false, "0,04", "0961 0.05..5", "0,040"},
        {Box::ChargeEndVoltage, false, "41", "0954 0.5..40", "41,000"},
        {Box::DischargeEndVoltage, false, "0,4", "0957 0.5..40", "0,400"},
        {Box::Capacity, false, "50,001", "0958 0.01..50", "50,001"},
        {Box::Percent, false, "101", "0960 1..100", "101"},
        {Box::Period, false, "100", "0962 1..99", "100"},
        {Box::SelfDischarge, true, "170", "0963 1..168", "170"},
        {Box::SelfDischarge, false, "170", "", "170"},
        {Box::SelfDischarge, false, "181", "0963 1..180", "181"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        model->chooseSelfDischargeHours(c.hours);
        model->setText(c.box, c.text);
        const CheckResult r = model->leaveBox(c.box);
        EXPECT_EQ(r ? QString("%1 %2..%3").arg(r->keyA).arg(r->min).arg(r->max) : "", c.fault);
        EXPECT_EQ(r ? r->focus : boxName(c.box), boxName(c.box));
        EXPECT_EQ(model->text(c.box), c.after);
    }
}

// A program that passes: preset voltages 14,4 / 10,5 V, mode 4, currents set.
class Transfer : public ProgramsTest {
public:
    void SetUp() override {
        ProgramsTest::SetUp();
        prepare();
    }
    void prepare() {
        model = std::make_unique<ProgramEditorModel>(ref, kGerman);
        model->chooseBatteryDefinition(BatteryDefinition::PresetVoltages);
        model->chooseDeviceMode(4);
        model->setText(Box::ChargeEndVoltage, "14,4");
        model->setText(Box::DischargeEndVoltage, "10,5");
        model->setText(Box::ChargeCurrent, "2");
        model->setText(Box::DischargeCurrent, "1");
    }
    QString failure() {
        const CheckResult r = model->checkBeforeTransfer();
        return r ? (r->isLimits() ? r->keyA : r->key) + "@" + r->focus : QString();
    }
};

TEST_F(Transfer, ChecksStopAtTheFirstFailure) {
    EXPECT_EQ(failure(), "");
    const struct {
        std::function<void(ProgramEditorModel&)> change;
        const char* expected;
    } cases[] = {
        {[](auto& m) { m.chooseBatteryDefinition(BatteryDefinition::None); }, "0987@optAkkuTyp"},
        {[](auto& m) { m.chooseBatteryDefinition(BatteryDefinition::BatteryType); },
         "0982@cboAkkuType"},
        {[](auto& m) {
             m.chooseBatteryDefinition(BatteryDefinition::BatteryType);
             m.chooseBatteryType(2);
         },
         "0984@cboNennSpannung"},
        {[](auto& m) { m.setText(Box::ChargeEndVoltage, ""); }, "0985@txtLadeschlussSpannung"},
        {[](auto& m) { m.setText(Box::DischargeEndVoltage, "0"); },
         "0986@txtEntladeschlussSpannung"},
        {[](auto& m) { m.setText(Box::ChargeCurrent, "abc"); }, "0997@txtLadestrom"},
        {[](auto& m) { m.setText(Box::DischargeCurrent, " "); }, "0998@txtEntladestrom"},
        {[](auto& m) { m.setTargetCapacity(true); }, "0999@txtKapazitaetAh"},
        {[](auto& m) { m.setSelfDischarge(true); }, "0995@txtSelbstentladungsZeitraum"},
        // No mode applied: the current boxes are still shown, and required.
        {[](auto& m) {
             m.chooseDeviceMode(0);
             m.setText(Box::ChargeCurrent, "0");
         },
         "0997@txtLadestrom"},
        {[](auto& m) { m.chooseDeviceMode(0); }, "4105@cboGeraeteModi"},
        // Values never checked on leaving (a loaded program) are checked here.
        {[](auto& m) { m.setText(Box::ChargeCurrent, "6"); }, "0959@txtLadestrom"},
        {[](auto& m) {
             m.chooseDeviceMode(6); // storage: the period is shown
             m.setText(Box::Period, "120");
         },
         "0962@txtZeitraum"},
        {[](auto& m) {
             m.setSelfDischarge(true);
             m.chooseSelfDischargeHours(true);
             m.setText(Box::SelfDischarge, "169");
         },
         "0963@txtSelbstentladungsZeitraum"},
    };
    for (const auto& c : cases) {
        prepare();
        c.change(*model);
        EXPECT_EQ(failure(), QString(c.expected));
    }
}

// Nor checked against their limits: the charger ignores them in this mode.
TEST_F(Transfer, HiddenFieldsAreNotRequired) {
    model->chooseDeviceMode(1); // charge only
    model->setText(Box::DischargeCurrent, "0,01");
    model->setText(Box::DischargeEndVoltage, "");
    model->setSelfDischarge(true); // its box is hidden in this mode
    EXPECT_EQ(failure(), "");
    EXPECT_FALSE(model->selfDischargeActive());
}

} // namespace
} // namespace velmara::test
