// The heading line over the end-value lists stands over the value columns.
#include "channel/core/endvalueheading.h"
#include "link/endvaluerecord.h"

#include <gtest/gtest.h>

#include <QList>
#include <QRegularExpression>

namespace velmara::test {
namespace {

// One past the last character of each word of a line.
QList<qsizetype> wordEnds(const QString& line) {
    QList<qsizetype> ends;
    static const QRegularExpression word(QStringLiteral("\\S+"));
    for (auto it = word.globalMatch(line); it.hasNext();)
        ends << it.next().capturedEnd();
    return ends;
}

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

TEST(EndValueHeadingTest, OverlongHeadingsKeepAllTheirCharactersApart) {
    // A translation longer than its column: nothing is cut, the words stay apart.
    const QString heading =
        endValueHeadingLine(QStringLiteral("Number"), QStringLiteral("Capacity in Ah"),
                            QStringLiteral("Voltage"), QStringLiteral("Minutes"));
    EXPECT_EQ(heading.simplified(), "Number Capacity in Ah Voltage Minutes");
    EXPECT_EQ(endValueHeadingLine(" Nr ", "Ah", "Volt", "Min").simplified(), "Nr Ah Volt Min");
}

} // namespace
} // namespace velmara::test
