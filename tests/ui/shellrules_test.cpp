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

} // namespace
} // namespace velmara
