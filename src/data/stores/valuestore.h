#pragma once
// The measured values of the user file (tables MessWerte and TempMessWerte):
// each a row of its series with a key that grows in recording order
// (MessWertId), an end-value flag (EW) and the value's text (MessWertString).
// Engine-neutral: an implementation per database engine.
#include "base/core/result.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace velmara {

enum class ValueTable { Temporary, Permanent };

// One stored value while it is being read; text is valid only during the visit.
struct StoredValueView {
    qint64 id = 0;
    qint32 seriesId = 0;
    bool endValue = false;
    QByteArrayView text; // UTF-8
};
// Called for each value read; false stops the read.
using ValueVisitor = std::function<bool(const StoredValueView&)>;

// Which values a read takes, in key order (ascending unless descending).
struct ValueRange {
    ValueTable table = ValueTable::Permanent;
    qint32 seriesId = 0;
    qint64 afterId = std::numeric_limits<qint64>::min();
    qint64 beforeId = std::numeric_limits<qint64>::max();
    enum class Kind { All, Ordinary, EndValues } kind = Kind::All;
    bool descending = false;
};

// Reads the ordinary values of a stretch a chunk at a time; nothing stays open
// between chunks.
class ValueCursor {
public:
    virtual ~ValueCursor() = default;
    // Visits up to maxRows further values; the number visited (fewer than
    // maxRows: the stretch is done).
    virtual Result<int> read(int maxRows, const ValueVisitor& visit) = 0;
};

class ValueStore {
public:
    virtual ~ValueStore() = default;

    // Stores one value behind the series' others; its key.
    virtual Result<qint64> append(ValueTable table, qint32 seriesId, bool endValue,
                                  const QString& text) = 0;
    // Copies the values of temporary series temporaryId into the permanent
    // series seriesId, in recording order, all or none. No values is no failure.
    virtual Result<void> adoptTemporarySeries(qint32 temporaryId, qint32 seriesId) = 0;
    // Empties the temporary table.
    virtual Result<void> clearTemporary() = 0;

    // The highest key of a series; nullopt when it has no values.
    virtual Result<std::optional<qint64>> lastValueId(ValueTable table, qint32 seriesId) = 0;
    // Visits the values of a range at once (a short read: end values, one series).
    virtual Result<void> visit(const ValueRange& range, const ValueVisitor& visit) = 0;
    // The end values of every series of a battery, in recording order.
    virtual Result<void> visitEndValuesOfBattery(qint32 batteryId, const ValueVisitor& visit) = 0;
    // A chunked read of the ordinary values of a range (ascending).
    virtual Result<std::unique_ptr<ValueCursor>> openStretch(const ValueRange& range) = 0;
};

} // namespace velmara
