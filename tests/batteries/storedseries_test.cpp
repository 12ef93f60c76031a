// A battery's capacity history, read back from the user file.
#include "batteries/core/batteryhistory.h"
#include "batteries_fixture.h"

#include <QLocale>

namespace velmara::test {
namespace {

class StoredSeriesTest : public BatteriesTest {
public:
    void SetUp() override {
        BatteriesTest::SetUp();
        QLocale::setDefault(QLocale::c());
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

// Capacity history of a battery from the end values of its series.
const char* const kProgram2000 =
    "003,P,A02,M08,Z06,P080,F1,W30,K02000,L01000,E00500,V07200,D06000,YH012";
const char* const kProgram2500 =
    "002,P,A02,M08,Z07,P080,F1,W30,K02500,L01250,E00500,V08400,D01000,YH012";
const char* const kProgramWithoutCapacity =
    "001,P,A05,M03,Z06,F1,W30,L01000,E00500,V08400,D06000,G1";

TEST_F(StoredSeriesTest, LastEndValueOfEachKindPerSeriesWithNominalCapacity) {
    const qint32 battery = insertBattery("Pack");
    const qint32 other = insertBattery("Other");
    const qint32 s1 = insertSeries(battery, 1, kProgram2000);
    const qint32 s2 = insertSeries(battery, 2, kProgram2500);
    const qint32 s3 = insertSeries(battery, 3, kProgramWithoutCapacity);
    const qint32 s4 = insertSeries(battery, 4);
    const qint32 foreign = insertSeries(other, 1, kProgram2000);
    ASSERT_TRUE(user->execute("UPDATE MessReihen SET Datum = '2024-05-0' || Nummer || "
                              "'T08:00:00'"));

    // Series 1: charge, discharge, charge again (a cycling run): the last of each kind.
    insertValue(s1, false, "100;1300;1000;60");
    insertValue(s1, true, "2;2150;1450;3600;3500");
    insertValue(s1, true, "3;1980;1000;7200;3600;T;99");
    insertValue(s1, true, "2;2050;1460;10800;3500;5");
    // Series 2: only a discharge, and a damaged end value left out.
    insertValue(s2, true, "3;1800;1000;3600;3600");
    insertValue(s2, true, "3;x;1000");
    // Series 3: no end values at all.
    insertValue(s3, false, "0;1200;500;0");
    insertValue(foreign, true, "3;999;1000;3600;3600");

    const BatteryHistory h = readBatteryHistory(*user, battery);
    ASSERT_TRUE(h.found);
    EXPECT_EQ(h.batteryName, "Pack");
    EXPECT_EQ(h.damaged, 1);
    ASSERT_EQ(h.series.size(), 4);
    const struct {
        qint32 id;
        std::optional<qint32> charged, discharged, nominal;
        std::optional<int> percent;
    } expected[] = {
        {s1, 2050, 1980, 2000, 99},
        {s2, std::nullopt, 1800, 2500, 72},
        {s3, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {s4, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    };
    for (int i = 0; i < 4; ++i) {
        const SeriesHistory& s = h.series[i];
        EXPECT_EQ(s.seriesId, expected[i].id) << i;
        EXPECT_EQ(s.number, i + 1);
        EXPECT_EQ(s.created, QDateTime(QDate(2024, 5, i + 1), QTime(8, 0))) << i;
        EXPECT_EQ(s.chargedMah, expected[i].charged) << i;
        EXPECT_EQ(s.dischargedMah, expected[i].discharged) << i;
        EXPECT_EQ(s.nominalMah, expected[i].nominal) << i;
        EXPECT_EQ(percentOfNominal(s), expected[i].percent) << i;
    }
    // The reference line: the latest series that names a capacity.
    EXPECT_EQ(h.nominalMah, 2500);
    EXPECT_FALSE(readBatteryHistory(*user, 4711).found);
}

} // namespace
} // namespace velmara::test
