#include "data/stores/outboxvaluestore.h"

namespace velmara {

namespace {
Failure onTheServer() {
    return Failure{QStringLiteral("the series' values are read from the server")};
}
} // namespace

OutboxValueStore::OutboxValueStore(UserFile file) : m_local(file), m_outbox(file) {}

Result<qint64> OutboxValueStore::append(ValueTable table, qint32 seriesId, bool endValue,
                                        const QString& text) {
    if (table == ValueTable::Temporary)
        return m_local.append(table, seriesId, endValue, text);
    const auto seq = m_outbox.queue(seriesId, endValue, text);
    if (seq && m_queued)
        m_queued(seriesId, 1);
    return seq;
}

Result<void> OutboxValueStore::adoptTemporarySeries(qint32 temporaryId, qint32 seriesId) {
    const auto queued = m_outbox.queueTemporarySeries(temporaryId, seriesId);
    if (!queued)
        return Failure{queued.error()};
    if (*queued > 0 && m_queued)
        m_queued(seriesId, *queued);
    return {};
}

Result<void> OutboxValueStore::clearTemporary() {
    return m_local.clearTemporary();
}

Result<std::optional<qint64>> OutboxValueStore::lastValueId(ValueTable table, qint32 seriesId) {
    if (table == ValueTable::Temporary)
        return m_local.lastValueId(table, seriesId);
    return onTheServer();
}

Result<void> OutboxValueStore::visit(const ValueRange& range, const ValueVisitor& visit) {
    if (range.table == ValueTable::Temporary)
        return m_local.visit(range, visit);
    return onTheServer();
}

Result<void> OutboxValueStore::visitEndValuesOfBattery(qint32, const ValueVisitor&) {
    return onTheServer();
}

Result<std::unique_ptr<ValueCursor>> OutboxValueStore::openStretch(const ValueRange& range) {
    if (range.table == ValueTable::Temporary)
        return m_local.openStretch(range);
    return onTheServer();
}

} // namespace velmara
