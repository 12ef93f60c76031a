#pragma once
// Which stored values a diagram shows: every ordinary value of a series, or the
// stretch that leads up to one of its end values (one charge or discharge phase).
#include "data/stores/valuestore.h"

#include <QString>

#include <limits>

namespace velmara {

// What the opening window asks for.
struct DiagramRequest {
    bool tempCreated = false; // true: TempMessWerte, false: MessWerte
    qint32 seriesId = 0;      // the series
    qint32 endValueId = 0;    // 0: the whole series; else the MessWertId of an end value
};

// The ordinary values of the series whose MessWertId lies strictly between the bounds.
struct ValueSelection {
    bool tempCreated = false;
    qint32 seriesId = 0;
    qint64 afterId = std::numeric_limits<qint64>::min();
    qint64 beforeId = std::numeric_limits<qint64>::max();
    // The requested end value is not among the series' end values: the whole series is shown.
    bool endValueMissing = false;
};

// The table a request's values are in.
inline ValueTable valueTableOf(bool tempCreated) {
    return tempCreated ? ValueTable::Temporary : ValueTable::Permanent;
}

// Decides the selection. With an end value: the values after the previous end
// value (or from the start when it is the first) and before the chosen one; a
// series without end values, or one that lacks the chosen end value, is shown
// whole. False with *error when the end values cannot be read.
bool selectValues(ValueStore& values, const DiagramRequest& request, ValueSelection* selection,
                  QString* error = nullptr);

} // namespace velmara
