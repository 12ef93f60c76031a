#pragma once
// Writes a channel's measured values into their tables in the order they were
// taken. A value the file does not take (write-protected file, full disk) is
// kept in memory and written, before any later value, as soon as the file
// takes writes again; the memory holds a bounded number of values.
#include "data/stores/valuestore.h"

#include <QString>

#include <cstddef>
#include <deque>
#include <functional>

namespace velmara {

class ValueWriter {
public:
    using Table = ValueTable;
    // At most this many values wait in memory per channel: at one value every
    // three seconds, the values of more than 16 hours.
    static constexpr std::size_t DefaultCapacity = 20000;

    // Told the key of the stored row once it is on disk.
    using StoredCallback = std::function<void(qint32 id)>;

    // values: the store as it is at the moment of each write (the user file,
    // or its outbox once the user data is on a server).
    explicit ValueWriter(std::function<ValueStore&()> values,
                         std::size_t capacity = DefaultCapacity);

    // Writes the value behind any that wait. True when it is on disk now; false
    // when it waits in memory (or was refused because the memory is full).
    bool write(Table table, qint32 seriesId, bool endValue, const QString& text,
               StoredCallback onStored = {});
    // Writes what waits, oldest first, and stops at the first failure. True
    // when nothing waits any more.
    bool flush();

    std::size_t waiting() const { return m_rows.size(); }
    // Values refused because the memory was full, since the start.
    quint64 dropped() const { return m_dropped; }
    // Why the last write failed (empty after a successful one).
    const QString& lastError() const { return m_lastError; }

private:
    struct Row {
        Table table;
        qint32 seriesId;
        bool endValue;
        QString text;
        StoredCallback onStored;
    };
    bool store(const Row& row);

    std::function<ValueStore&()> m_values;
    std::size_t m_capacity;
    std::deque<Row> m_rows;
    quint64 m_dropped = 0;
    QString m_lastError;
};

} // namespace velmara
