#pragma once
// Where the words of a line end: columns of text lines line up when their
// words end at the same places.
#include <QList>
#include <QRegularExpression>
#include <QString>

namespace velmara::test {

// One past the last character of each word of a line.
inline QList<qsizetype> wordEnds(const QString& line) {
    QList<qsizetype> ends;
    static const QRegularExpression word(QStringLiteral("\\S+"));
    for (auto it = word.globalMatch(line); it.hasNext();)
        ends << it.next().capturedEnd();
    return ends;
}

} // namespace velmara::test
