#include "ui/mainwindow/shellrules.h"

#include <gtest/gtest.h>

namespace velmara {
namespace {

TEST(ShellRules, ChargerModelDecidesChannelsPanelsAndExtension) {
    struct Case {
        QString charger;
        QStringList channels;
        std::optional<bool> upperPanels;
        QString extension; // with P1 "P1" and P4 "P4"
    };
    const QStringList one{"001"};
    const QStringList four{"001", "002", "003", "004"};
    const Case cases[] = {
        {"QMT4", four, true, "P4"},        {"QMT1", one, false, "P1"},
        {"", one, std::nullopt, "NO"},     {"qmt4", one, std::nullopt, "NO"}, // exact text only
        {"QMT2", one, std::nullopt, "NO"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charger.toStdString());
        EXPECT_EQ(loadedChannelCodes(c.charger), c.channels);
        EXPECT_EQ(upperChannelPanelsVisible(c.charger), c.upperPanels);
        EXPECT_EQ(deriveProgramExtension(c.charger, "P1", "P4"), c.extension);
    }
}

// Stacked or side by side: each tile starts where the one before ended, the last
// ends in the area's corner, all full width (height).
TEST(ShellRules, TilesCoverTheAreaInOrder) {
    const QRect area(0, 0, 1000, 601);
    for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
        for (int n = 1; n <= 4; ++n) {
            SCOPED_TRACE(n);
            const QList<QRect> rects = tileRects(area, n, o);
            ASSERT_EQ(rects.size(), n);
            QPoint start = area.topLeft();
            for (const QRect& r : rects) {
                EXPECT_EQ(r.topLeft(), start);
                EXPECT_EQ(o == Qt::Vertical ? r.width() : r.height(),
                          o == Qt::Vertical ? area.width() : area.height());
                start =
                    o == Qt::Vertical ? r.bottomLeft() + QPoint(0, 1) : r.topRight() + QPoint(1, 0);
            }
            EXPECT_EQ(rects.last().bottomRight(), area.bottomRight());
        }
    }
    EXPECT_TRUE(tileRects(area, 0, Qt::Vertical).isEmpty());
    EXPECT_TRUE(tileRects(QRect(), 3, Qt::Vertical).isEmpty());
}

} // namespace
} // namespace velmara
