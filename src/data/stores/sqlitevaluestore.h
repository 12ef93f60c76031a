#pragma once
// The values in an SQLite user file. The statements of the busy paths (a
// value stored every few seconds per channel, a diagram's chunks) are prepared
// once and run again.
#include "data/stores/userfile.h"
#include "data/stores/valuestore.h"

#include <QHash>

namespace velmara {

class Query;

class SqliteValueStore final : public ValueStore {
public:
    explicit SqliteValueStore(UserFile file);
    ~SqliteValueStore() override;

    Result<qint64> append(ValueTable table, qint32 seriesId, bool endValue,
                          const QString& text) override;
    Result<void> adoptTemporarySeries(qint32 temporaryId, qint32 seriesId) override;
    Result<void> clearTemporary() override;
    Result<std::optional<qint64>> lastValueId(ValueTable table, qint32 seriesId) override;
    Result<void> visit(const ValueRange& range, const ValueVisitor& visit) override;
    Result<void> visitEndValuesOfBattery(qint32 batteryId, const ValueVisitor& visit) override;
    Result<std::unique_ptr<ValueCursor>> openStretch(const ValueRange& range) override;

private:
    // The prepared statement of a text, made on first use on the current file.
    Result<Query*> cached(Database& db, const QString& sql);

    UserFile m_file;
    Database* m_preparedOn = nullptr;
    QHash<QString, std::shared_ptr<Query>> m_queries;
};

// "TempMessWerte" or "MessWerte".
QString valueTableName(ValueTable table);

} // namespace velmara
