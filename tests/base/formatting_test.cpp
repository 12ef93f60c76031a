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

TEST(Formatting, DatesAndTypedNumbers) {
    const QDateTime when(QDate(2026, 12, 7), QTime(9, 5));
    EXPECT_EQ(formatDateTime(when, "de"), "07.12.2026 09:05");
    EXPECT_EQ(formatDateTime(when, "en"), "2026-12-07 09:05");
    EXPECT_EQ(formatThreeDecimals("1,5", de), "1,500");
    EXPECT_EQ(formatThreeDecimals("1.2345", en), "1.235"); // fourth decimal rounded away
    EXPECT_EQ(formatThreeDecimals("abc", en), "abc");      // not a number: unchanged
}

// An input filter keeps the new text when it is (the start of) a number, else the old one.
TEST(Formatting, InputFiltersDropAKeystrokeThatMakesNoNumber) {
    struct Case {
        const QLocale* loc; // nullptr: the whole-number filter (16 bits)
        const char* before;
        const char* after;
        const char* kept;
    } cases[] = {
        {&de, "1", "1,", "1,"},
        {&de, "1,", "1,,", "1,"},
        {&en, "1", "1a", "1"},
        {&de, "12", "12.", "12"}, // no group separators
        {&en, "1", "", ""},
        {&en, "", "-", ""},
        {nullptr, "1", "1.", "1"},
        {nullptr, "3276", "32767", "32767"},
        {nullptr, "3276", "32768", "3276"},
        {nullptr, "-3276", "-32768", "-32768"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> " + c.after);
        EXPECT_EQ(c.loc ? filterDecimalInput(c.before, c.after, *c.loc)
                        : filterIntegerInput(c.before, c.after),
                  QString(c.kept));
    }
}
