#pragma once
// The heading line over the end-value lists of a channel window.
#include <QString>

namespace velmara {

// The column headings (number, Ah, volt, minutes) laid out in the fixed columns
// of the end-value lines (formatEndValueLine): each heading ends where its
// column's values end, so in a fixed-pitch font it stands over them. A heading
// wider than its column keeps all its characters; the columns after it move
// right by the excess, and the lines then no longer match; the stock headings
// all fit.
QString endValueHeadingLine(const QString& nr, const QString& ah, const QString& volt,
                            const QString& min);

// Where the columns of an end-value line end (one past their last character):
// the number's dot, the capacity, the voltage and the duration.
inline constexpr int kEndValueColumnEnds[4] = {3, 14, 24, 30};

} // namespace velmara
