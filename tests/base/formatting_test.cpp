#include "base/core/dateformat.h"
#include "base/core/formatting.h"

#include <gtest/gtest.h>

using namespace velmara;

namespace {
const QLocale en(QLocale::English, QLocale::UnitedStates);
const QLocale de(QLocale::German, QLocale::Germany);

struct ValueCase {
    qint32 value;
    const char* en;
    const char* de;
};
} // namespace

TEST(Formatting, ThousandthsShowThreeDecimalsWithTheLocaleSeparatorAndNoGrouping) {
    const ValueCase cases[] = {
        {1, "0.001", "0,001"},
        {1234567, "1234.567", "1234,567"},
        {-1, "-0.001", "-0,001"},
        {-2147483647 - 1, "-2147483.648", "-2147483,648"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatVoltString(c.value, en), QString(c.en) + " V");
        EXPECT_EQ(formatAmpereString(c.value, de), QString(c.de) + " A");
        EXPECT_EQ(formatAmpereHourString(c.value, en), QString(c.en) + " Ah");
    }
}

TEST(Formatting, OneDateFormatPerLanguage) {
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 5));
    EXPECT_EQ(formatDateTime(when, "de"), "07.12.2026 09:05");
    EXPECT_EQ(formatDateTime(when, "en"), "2026-12-07 09:05");
    EXPECT_EQ(formatDateTime(when, "de", false), "07.12.2026");
}

TEST(Formatting, ThreeDecimalsRewritesTypedNumbers) {
    EXPECT_EQ(formatThreeDecimals("1,5", de), "1,500");
    EXPECT_EQ(formatThreeDecimals("1.2345", en), "1.235"); // fourth decimal rounded away
    EXPECT_EQ(formatThreeDecimals("abc", en), "abc");      // not a number: unchanged
}

TEST(Formatting, DecimalFilterKeepsNumbersAndDropsTheKeystrokeOtherwise) {
    struct Case {
        const QLocale* loc;
        const char* before;
        const char* after;
        const char* kept;
    } cases[] = {
        {&de, "1", "1,", "1,"},   // first decimal separator stays
        {&de, "1,", "1,,", "1,"}, // a second one goes
        {&en, "1", "1a", "1"},    // letters go
        {&de, "12", "12.", "12"}, // group separator is no decimal point
        {&en, "1", "", ""},       // clearing the field
        {&en, "", "-", ""},       // a lone minus is no number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
        EXPECT_EQ(filterDecimalInput(c.before, c.after, *c.loc), QString(c.kept));
    }
}

TEST(Formatting, IntegerFilterTakesWholeNumbersUpTo16Bits) {
    struct Case {
        const char* before;
        const char* after;
        const char* kept;
    } cases[] = {
        {"1", "1.", "1"},
        {"3276", "32767", "32767"},
        {"3276", "32768", "3276"},
        {"-3276", "-32768", "-32768"},
        {"", "-", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
        EXPECT_EQ(filterIntegerInput(c.before, c.after), QString(c.kept));
    }
}
