#pragma once
// A user file with the real schema in a temp folder, and quick ways to fill a
// series with measured values (for the diagram tests and the benchmark).
#include "data/stores/sqlitevaluestore.h"
#include "storage/database.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace velmara::test {

class SeriesDb {
public:
    explicit SeriesDb(const QString& parentFolder);
    bool isOpen() const { return m_db != nullptr; }
    Database& db() { return *m_db; }
    ValueStore& values() { return m_values; }
    const QString& error() const { return m_error; }
    QString folder() const { return m_dir.path(); }

    // Adds a battery's series (needed before values of MessWerte) and returns its id.
    qint32 addSeries();
    // One row; returns its MessWertId.
    qint64 addValue(bool temporary, qint32 series, bool endValue, const QString& text);
    // n ordinary values: value i (0-based) at minute i, i mV above 1000 mV, current
    // 2 * i mA, capacity 3 * i mAh.
    bool addRamp(bool temporary, qint32 series, int n, int firstIndex = 0);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
    SqliteValueStore m_values{[this] { return m_db.get(); }};
    QString m_error;
};

} // namespace velmara::test
