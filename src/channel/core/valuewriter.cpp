#include "channel/core/valuewriter.h"

namespace velmara {

ValueWriter::ValueWriter(std::function<ValueStore&()> values, std::size_t capacity)
    : m_values(std::move(values)), m_capacity(capacity) {}

bool ValueWriter::write(Table table, qint32 seriesId, bool endValue, const QString& text,
                        StoredCallback onStored) {
    if (m_rows.size() >= m_capacity) {
        // Make room by writing what waits; when that fails, the new value is lost.
        if (!flush()) {
            ++m_dropped;
            return false;
        }
    }
    m_rows.push_back({table, seriesId, endValue, text, std::move(onStored)});
    return flush();
}

bool ValueWriter::flush() {
    while (!m_rows.empty()) {
        if (!store(m_rows.front()))
            return false;
        m_rows.pop_front();
    }
    return true;
}

// Stores one row at once, so the value is on disk before it counts as stored.
bool ValueWriter::store(const Row& row) {
    const Result<qint64> key = m_values().append(row.table, row.seriesId, row.endValue, row.text);
    if (!key) {
        m_lastError = key.error();
        return false;
    }
    m_lastError.clear();
    if (row.onStored)
        row.onStored(qint32(*key));
    return true;
}

} // namespace velmara
