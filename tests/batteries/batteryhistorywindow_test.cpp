// The battery history window: table and capacity chart of one battery.
#include "batteries/ui/batteryhistorywindow.h"
#include "batteries_fixture.h"

#include <QTableWidget>
#include <qcustomplot.h>

namespace velmara::test {
namespace {

using BatteryHistoryWindowTest = BatteriesTest;

TEST_F(BatteryHistoryWindowTest, TableAndChartOfEverySeries) {
    const qint32 battery = insertBattery("Pack");
    const char* program = "003,P,A02,M08,Z06,P080,F1,W30,K02000,L01000,E00500,V07200,D06000,YH012";
    for (int n = 1; n <= 3; ++n) {
        const qint32 s = insertSeries(battery, n, program);
        ASSERT_TRUE(user->execute("UPDATE MessReihen SET Datum = ? WHERE MessReiheID = ?",
                                  {QString("2025-0%1-15T09:00:00").arg(n), s}));
        if (n < 3)
            insertValue(s, true, QString("3;%1;1000;3600;3600").arg(2000 - n * 100));
    }
    BatteryHistoryWindow window(*user, battery, testText);
    EXPECT_EQ(window.windowTitle(), "<2252> - Pack");
    QTableWidget* table = window.table();
    ASSERT_EQ(table->rowCount(), 3);
    const QStringList first = {table->item(0, 0)->text(), table->item(0, 4)->text(),
                               table->item(0, 5)->text(), table->item(0, 6)->text()};
    EXPECT_EQ(first, (QStringList{"1", "1.900 Ah", "2.000 Ah", "95 %"}));
    EXPECT_EQ(table->item(2, 4)->text(), "---") << "no end value, no capacity";

    QCustomPlot* chart = window.chart();
    ASSERT_EQ(chart->graphCount(), 2);
    EXPECT_EQ(chart->graph(0)->dataCount(), 0); // no charge end values
    ASSERT_EQ(chart->graph(1)->dataCount(), 2);
    EXPECT_DOUBLE_EQ(chart->graph(1)->data()->at(1)->value, 1.8);
    ASSERT_EQ(chart->itemCount(), 1);
    auto* nominal = qobject_cast<QCPItemStraightLine*>(chart->item(0));
    ASSERT_NE(nominal, nullptr);
    EXPECT_DOUBLE_EQ(nominal->point1->coords().y(), 2.0);
}

} // namespace
} // namespace velmara::test
