#pragma once
// The lines of the end-value lists (channel windows, stored-series windows) and
// the heading line over them, in fixed columns.
#include "link/endvaluerecord.h"

#include <QString>

namespace velmara {

// One line of the end-value lists of a channel window: number, capacity (Ah),
// voltage (V) and duration in fixed columns, 30 characters for values of normal
// width; wider values keep all their characters and push the line wider.
QString formatEndValueLine(int n, const EndValueRecord& endwert);

// The column headings (number, Ah, volt, minutes) laid out in the fixed columns
// of the end-value lines (formatEndValueLine): each heading ends where its
// column's values end, so in a fixed-pitch font it stands over them. A heading
// that fills or overflows its column keeps all its characters and one blank
// before it; the headings after it move right and no longer match the values
// (the stock headings all fit).
QString endValueHeadingLine(const QString& nr, const QString& ah, const QString& volt,
                            const QString& min);

// Where the columns of an end-value line end (one past their last character):
// the number's dot, the capacity, the voltage and the duration.
inline constexpr int kEndValueColumnEnds[4] = {3, 14, 24, 30};

} // namespace velmara
