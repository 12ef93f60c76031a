#include "base/widgets/inputfilters.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace velmara;

TEST(InputFilters, TypedKeysThatBreakTheNumberAreTakenBack) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QLineEdit decimal;
    attachDecimalFilter(&decimal);
    QTest::keyClicks(&decimal, "12,5x,7");
    EXPECT_EQ(decimal.text(), "12,57"); // the letter and the second comma are gone
    decimal.setCursorPosition(2);
    QTest::keyClicks(&decimal, "a");
    EXPECT_EQ(decimal.text(), "12,57");
    EXPECT_EQ(decimal.cursorPosition(), 2);

    QLineEdit integer;
    attachIntegerFilter(&integer);
    QTest::keyClicks(&integer, "3276,8.9");
    EXPECT_EQ(integer.text(), "3276"); // separators go; 32768 and 32769 overflow
    QTest::keyClicks(&integer, "7");
    EXPECT_EQ(integer.text(), "32767");
    integer.clear(); // clearing is always allowed
    EXPECT_EQ(integer.text(), "");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}
