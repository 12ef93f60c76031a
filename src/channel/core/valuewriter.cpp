#include "channel/core/valuewriter.h"

#include "storage/recordset.h"

namespace velmara {

ValueWriter::ValueWriter(TableResolver tables, std::size_t capacity)
    : m_tables(std::move(tables)), m_capacity(capacity) {}

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

// Adds one row and saves it at once, so the value is on disk before it counts as stored.
bool ValueWriter::store(const Row& row) {
    Recordset* set = m_tables ? m_tables(row.table) : nullptr;
    if (!set || !set->isValid()) {
        m_lastError = QStringLiteral("no record set for the table");
        return false;
    }
    set->addNew();
    set->setValue(QStringLiteral("MessReiheID"), row.seriesId);
    set->setValue(QStringLiteral("EW"), row.endValue ? 1 : 0);
    set->setValue(QStringLiteral("MessWertString"), row.text);
    if (!set->update()) {
        m_lastError = set->lastError();
        set->cancelUpdate();
        return false;
    }
    m_lastError.clear();
    if (row.onStored) {
        const QVariant key = set->lastModified();
        row.onStored(key.isValid() ? key.toInt() : 0);
    }
    return true;
}

} // namespace velmara
