#pragma once
// The values of the series on a PostgreSQL server (table MessWerte), keyed
// within their series by Seq: a value's key (StoredValueView::id) is its Seq.
// The temporary series stay on the station; this store has none.
#include "data/stores/valuestore.h"

namespace velmara {

class ServerLine;

class PgValueStore final : public ValueStore {
public:
    explicit PgValueStore(ServerLine& line) : m_line(line) {}

    Result<qint64> append(ValueTable table, qint32 seriesId, bool endValue,
                          const QString& text) override;
    Result<void> adoptTemporarySeries(qint32 temporaryId, qint32 seriesId) override;
    Result<void> clearTemporary() override;
    Result<std::optional<qint64>> lastValueId(ValueTable table, qint32 seriesId) override;
    Result<void> visit(const ValueRange& range, const ValueVisitor& visit) override;
    Result<void> visitEndValuesOfBattery(qint32 batteryId, const ValueVisitor& visit) override;
    Result<std::unique_ptr<ValueCursor>> openStretch(const ValueRange& range) override;

private:
    ServerLine& m_line;
};

// The failure of asking the server for a temporary series.
Failure noTemporaryOnServer();

} // namespace velmara
