// The lines of the end-value lists and the heading that stands over their columns.
#include "data/endvaluelines.h"
#include "link/endvaluerecord.h"
#include "support/word_ends.h"

#include <gtest/gtest.h>

#include <QList>
#include <QLocale>
#include <QRegularExpression>

namespace velmara::test {
namespace {

EndValueRecord endValue(qint32 mah, qint32 mv, qint32 minutes) {
    EndValueRecord e;
    e.capacityMah = mah;
    e.voltageMv = mv;
    e.cycleSeconds = minutes;
    return e;
}

TEST(EndValueHeadingTest, HeadingsEndWhereTheirValuesEnd) {
    const QStringList headings[] = {
        {"Nr", "Ah", "Volt", "Min"}, {"No.", "Ah", "Volt", "Min"}, {"#", "Cap", "U", "t"}};
    const QString lines[] = {formatEndValueLine(1, endValue(1000, 8400, 90)),
                             formatEndValueLine(12, endValue(35, 950, 5)),
                             formatEndValueLine(99, endValue(99999, 99999, 9999))};
    for (const QStringList& h : headings) {
        const QString heading = endValueHeadingLine(h[0], h[1], h[2], h[3]);
        for (const QString& line : lines)
            EXPECT_EQ(wordEnds(heading), wordEnds(line)) << "\n"
                                                         << heading.toStdString() << "\n"
                                                         << line.toStdString();
    }
}

} // namespace
TEST(EndValueLines, FixedColumns) {
    const struct {
        int n;
        qint32 kap, spannung, zeit;
        const char* line;
    } cases[] = {
        {1, 1234, 8400, 90, " 1.      1.234     8.400    90"},
        // Too wide for their columns: nothing is cut off.
        {123, 1234567, 123456, 12345, "123.     1234.567    123.456  12345"},
        {1, -1500, -1, -5, " 1.     -1.500    -0.001    -5"},
    };
    EndValueRecord e;
    for (const auto& c : cases) {
        e.capacityMah = c.kap;
        e.voltageMv = c.spannung;
        e.cycleSeconds = c.zeit;
        EXPECT_EQ(formatEndValueLine(c.n, e), QString::fromLatin1(c.line));
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatEndValueLine(1, e), " 1.     -1,500    -0,001    -5");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

} // namespace velmara::test
