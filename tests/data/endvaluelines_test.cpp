// The lines of the end-value lists and the heading that stands over their columns.
#include "data/endvaluelines.h"
#include "link/endvaluerecord.h"
#include "support/word_ends.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace velmara::test {
namespace {

TEST(EndValueLines, FixedColumnsUnderTheirHeading) {
    const struct {
        int n;
        qint32 mah, mv, minutes;
        const char* line;
    } cases[] = {
        {1, 1234, 8400, 90, " 1.      1.234     8.400    90"},
        {99, 99999, 99999, 9999, "99.     99.999    99.999  9999"},
        // Too wide for their columns: nothing is cut off.
        {123, 1234567, 123456, 12345, "123.     1234.567    123.456  12345"},
        {1, -1500, -1, -5, " 1.     -1.500    -0.001    -5"},
    };
    const QString heading = endValueHeadingLine("No.", "Ah", "Volt", "Min");
    EndValueRecord e;
    for (const auto& c : cases) {
        e.capacityMah = c.mah;
        e.voltageMv = c.mv;
        e.cycleSeconds = c.minutes;
        EXPECT_EQ(formatEndValueLine(c.n, e), QString::fromLatin1(c.line));
        if (c.n < 100) {
            EXPECT_EQ(wordEnds(heading), wordEnds(c.line)) << heading.toStdString();
        }
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatEndValueLine(1, e), " 1.     -1,500    -0,001    -5");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace
} // namespace velmara::test
