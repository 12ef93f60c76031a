// The diagram options without widgets: filling the form, validation with its
// text keys and focus, the ranges handed back, the stored switches, PrintingLook.
#include "charts/core/diagramoptions.h"

#include <gtest/gtest.h>

using namespace velmara;

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);

// A form with typed X and Y ranges; nullptr leaves the axis automatic.
DiagramOptionsForm form(const char* xFrom, const char* xTo, const char* yFrom = nullptr,
                        const char* yTo = nullptr) {
    DiagramOptionsForm f;
    f.xAutomatic = !xFrom;
    f.yAutomatic = !yFrom;
    f.xFrom = xFrom;
    f.xTo = xTo;
    f.yFrom = yFrom;
    f.yTo = yTo;
    return f;
}

TEST(DiagramOptionsTest, ValidationGivesKeyAndFocus) {
    const struct {
        DiagramOptionsForm form;
        const char* key; // "" when valid
        OptionsField focus;
    } cases[] = {
        {DiagramOptionsForm{}, "", OptionsField::None},
        {form("10", "10"), "2160", OptionsField::XTo},
        {form("10", "5"), "2160", OptionsField::XTo},
        {form("-5", "30"), "2166", OptionsField::XFrom},
        {form("-50", "-30"), "2166", OptionsField::XFrom},
        {form("0", "30"), "", OptionsField::None},
        {form("  ", "30"), "2164", OptionsField::XFrom},
        {form("1", ""), "2164", OptionsField::XTo},
        {form("-", "3"), "2164", OptionsField::XFrom}, // no number at all
        {form(nullptr, nullptr, "-2", "2"), "", OptionsField::None},
        {form(nullptr, nullptr, "", "2"), "2164", OptionsField::YFrom},
        {form(nullptr, nullptr, "1", "   "), "2164", OptionsField::YTo},
        {form(nullptr, nullptr, "2", "2"), "2162", OptionsField::YTo},
        {form(nullptr, nullptr, "3", "-1"), "2162", OptionsField::YTo},
        // X is checked before Y.
        {form("5", "1", "", ""), "2160", OptionsField::XTo},
        {form("5", "9", "", ""), "2164", OptionsField::YFrom},
    };
    for (const auto& c : cases) {
        const OptionsCheck check = validateOptions(c.form, kEnglish);
        EXPECT_EQ(check.textKey, QString::fromLatin1(c.key))
            << c.form.xFrom.toStdString() << "|" << c.form.yFrom.toStdString();
        EXPECT_EQ(check.focus, c.focus) << c.key;
    }
}

TEST(DiagramOptionsTest, NumbersAreReadInTheUsersLocale) {
    const DiagramOptionsForm f = form("0,5", "12,25", "-1,5", "2,");
    ASSERT_TRUE(validateOptions(f, kGerman).ok());
    const OptionsResult r = optionsRanges(f, kGerman);
    EXPECT_EQ(r.xRange, (AxisRange{false, 0.5, 12.25}));
    EXPECT_EQ(r.yRange, (AxisRange{false, -1.5, 2}));
    // Automatic axes come back automatic.
    EXPECT_EQ(optionsRanges(DiagramOptionsForm{}, kGerman).xRange, AxisRange{});
}

TEST(DiagramOptionsTest, FormShowsStoredRangesAsShortDecimals) {
    const DiagramSwitches sw{true, false, true, false, true};
    EXPECT_TRUE(initialOptionsForm(sw, AxisRange{}, AxisRange{}, kGerman).xAutomatic);
    const DiagramOptionsForm f =
        initialOptionsForm(sw, AxisRange{false, 0, 12345.5}, AxisRange{false, -0.25, 2}, kGerman);
    EXPECT_FALSE(f.xAutomatic);
    EXPECT_EQ(f.xFrom, "0");
    EXPECT_EQ(f.xTo, "12345,5");
    EXPECT_EQ(f.yFrom, "-0,25");
    EXPECT_EQ(f.yTo, "2");
    EXPECT_EQ(f.switches, sw);
}

TEST(DiagramOptionsTest, PrintingLookOneEnablesPrinting) {
    const struct {
        const char* value;
        bool enabled;
    } cases[] = {{"1", true}, {" 1 ", true}, {"2", false},
                 {"", false}, {"11", false}, {"1.0", false}};
    for (const auto& c : cases)
        EXPECT_EQ(printingEnabled(QString::fromLatin1(c.value)), c.enabled) << c.value;
}

} // namespace
