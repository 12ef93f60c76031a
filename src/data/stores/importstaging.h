#pragma once
// Where the values of an imported file wait between reading the file and
// storing them, and the moves of a slice from there into the user file. The
// slicing, numbering and showing of the series are SeriesImport's
// (exchange/core); this is the part each engine does its own way.
#include "base/core/result.h"

#include <QString>
#include <QVector>

#include <functional>

namespace velmara {

struct StagedValue {
    bool endValue = false;
    QString text; // MessWertString
};

class ImportStaging {
public:
    virtual ~ImportStaging() = default;

    // Empties the staging for a new file.
    virtual Result<void> begin() = 0;
    // Adds values behind those staged, in one step; the number staged in all.
    virtual Result<qint64> add(const QVector<StagedValue>& values) = 0;
    // Lets staged values go (the reading is over or the import ends).
    virtual void end() = 0;

    // While held, a slice does not wait for the disk unless it is durable.
    virtual void holdSyncs(bool hold) = 0;
    // Runs work as one slice: all of it or nothing.
    virtual Result<void> inSlice(const std::function<Result<void>()>& work, bool durable) = 0;
    // Stores the staged values after position from up to position to (from 0,
    // in file order) as values of a series (inside a slice).
    virtual Result<void> moveInto(qint32 seriesId, qint64 from, qint64 to) = 0;
    // Takes up to n values of a series out again (inside a slice).
    virtual Result<void> removeSome(qint32 seriesId, qint64 n) = 0;
    // Removes an unfinished import (its values, series and the battery made for
    // it) in one step; -1 for all of them. The number of series removed.
    virtual Result<int> removeUnfinished(qint32 seriesId) = 0;
};

} // namespace velmara
