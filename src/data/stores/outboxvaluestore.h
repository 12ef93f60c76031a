#pragma once
// The values a station records while the user data is on a server. The
// temporary series stay in the user file as always; a permanent value is
// queued in the file's outbox under its series on the server, and the shipper
// takes it from there. Permanent values are read from the server, not here.
#include "data/stores/serveroutbox.h"
#include "data/stores/sqlitevaluestore.h"

#include <functional>

namespace velmara {

class OutboxValueStore final : public ValueStore {
public:
    // Told after values of a series were queued (how many).
    using Queued = std::function<void(qint32 seriesId, qint64 count)>;

    explicit OutboxValueStore(UserFile file);
    void onQueued(Queued listener) { m_queued = std::move(listener); }

    Result<qint64> append(ValueTable table, qint32 seriesId, bool endValue,
                          const QString& text) override;
    Result<void> adoptTemporarySeries(qint32 temporaryId, qint32 seriesId) override;
    Result<void> clearTemporary() override;
    Result<std::optional<qint64>> lastValueId(ValueTable table, qint32 seriesId) override;
    Result<void> visit(const ValueRange& range, const ValueVisitor& visit) override;
    Result<void> visitEndValuesOfBattery(qint32 batteryId, const ValueVisitor& visit) override;
    Result<std::unique_ptr<ValueCursor>> openStretch(const ValueRange& range) override;

private:
    SqliteValueStore m_local;
    ServerOutbox m_outbox;
    Queued m_queued;
};

} // namespace velmara
