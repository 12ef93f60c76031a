#include "charts/core/valueselection.h"

#include "data/valuestrings.h"

namespace velmara {

namespace {

// The end values of a series between two keys, in the direction asked; the
// visitor says whether to go on.
bool visitEndValues(ValueStore& values, const ValueSelection& selection, qint64 after,
                    qint64 before, bool descending, const ValueVisitor& visit, QString* error) {
    ValueRange range;
    range.table = valueTableOf(selection.tempCreated);
    range.seriesId = selection.seriesId;
    range.afterId = after;
    range.beforeId = before;
    range.kind = ValueRange::Kind::EndValues;
    range.descending = descending;
    const Result<void> read = values.visit(range, visit);
    if (!read && error)
        *error = read.error();
    return read.ok();
}

} // namespace

bool selectValues(ValueStore& values, const DiagramRequest& request, ValueSelection* selection,
                  QString* error) {
    *selection = ValueSelection();
    selection->tempCreated = request.tempCreated;
    selection->seriesId = request.seriesId;
    if (request.endValueId == 0)
        return true;
    const qint64 end = request.endValueId;
    constexpr qint64 kFirst = std::numeric_limits<qint64>::min();
    constexpr qint64 kLast = std::numeric_limits<qint64>::max();
    const auto first = [](bool* found) {
        return [found](const StoredValueView&) {
            *found = true;
            return false;
        };
    };

    // The chosen end value, by its key.
    bool found = false;
    if (!visitEndValues(values, *selection, end - 1, end + 1, false, first(&found), error))
        return false;
    if (!found) {
        // Shown whole; the flag tells a series without end values from a missing one.
        bool any = false;
        if (!visitEndValues(values, *selection, kFirst, kLast, false, first(&any), error))
            return false;
        selection->endValueMissing = any;
        return true;
    }
    // The end value before it bounds the stretch from below; searching backwards
    // from the chosen one reads one phase, not the whole series. An end value whose
    // text is damaged is not listed, so it does not bound a phase either.
    bool hasPrevious = false;
    qint64 previous = 0;
    if (!visitEndValues(
            values, *selection, kFirst, end, true,
            [&](const StoredValueView& value) {
                if (!parseValueString(QString::fromUtf8(value.text), true).bValid)
                    return true;
                hasPrevious = true;
                previous = value.id;
                return false;
            },
            error))
        return false;
    if (hasPrevious)
        selection->afterId = previous;
    selection->beforeId = end;
    return true;
}

} // namespace velmara
