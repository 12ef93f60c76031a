#include "shell/mainwindow/shellrules.h"

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

TEST(ShellRules, CaptionJoinsNameEditionAndVersion) {
    EXPECT_EQ(mainCaption("velmara", "Ladeprogramm", 3, 0, 12), "velmara - Ladeprogramm 3.0.12");
}

TEST(ShellRules, TilesCoverTheAreaWithoutOverlap) {
    const QRect area(0, 0, 1000, 601);
    for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
        for (int n = 1; n <= 4; ++n) {
            QList<QRect> rects = tileRects(area, n, o);
            ASSERT_EQ(rects.size(), n);
            qint64 covered = 0;
            for (int i = 0; i < n; ++i) {
                EXPECT_TRUE(area.contains(rects[i])) << n;
                covered += qint64(rects[i].width()) * rects[i].height();
                for (int j = i + 1; j < n; ++j)
                    EXPECT_FALSE(rects[i].intersects(rects[j])) << n << " " << i << " " << j;
                if (o == Qt::Vertical)
                    EXPECT_EQ(rects[i].width(), area.width());
                else
                    EXPECT_EQ(rects[i].height(), area.height());
            }
            EXPECT_EQ(covered, qint64(area.width()) * area.height());
        }
    }
    // Stacked: one above the other, in order.
    QList<QRect> stacked = tileRects(area, 2, Qt::Vertical);
    EXPECT_LT(stacked[0].top(), stacked[1].top());
    EXPECT_TRUE(tileRects(area, 0, Qt::Vertical).isEmpty());
    EXPECT_TRUE(tileRects(QRect(), 3, Qt::Vertical).isEmpty());
}

} // namespace
} // namespace velmara
