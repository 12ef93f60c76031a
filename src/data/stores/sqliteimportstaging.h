#pragma once
// An import's staging in an SQLite user file: a table in the connection's own
// memory (never written into the file), slices committed without a sync while
// the log is carried into the file on a thread of its own.
#include "data/stores/importstaging.h"
#include "data/stores/userfile.h"

#include <memory>

namespace velmara {

class BackgroundCheckpoint;
class Query;

class SqliteImportStaging final : public ImportStaging {
public:
    explicit SqliteImportStaging(UserFile file);
    ~SqliteImportStaging() override;

    Result<void> begin() override;
    Result<qint64> add(const QVector<StagedValue>& values) override;
    void end() override;
    void holdSyncs(bool hold) override;
    Result<void> inSlice(const std::function<Result<void>()>& work, bool durable) override;
    Result<void> moveInto(qint32 seriesId, qint64 from, qint64 to) override;
    Result<void> removeSome(qint32 seriesId, qint64 n) override;
    Result<int> removeUnfinished(qint32 seriesId) override;

private:
    UserFile m_file;
    Database* m_db = nullptr; // the file the staging table is on
    std::unique_ptr<Query> m_insert;
    bool m_haveTable = false;
    qint64 m_count = 0;
    // The connection's own settings while the syncs are held.
    bool m_holding = false;
    int m_autoCheckpoint = 1000;
    int m_synchronous = 2;
    std::unique_ptr<BackgroundCheckpoint> m_checkpoints;
};

} // namespace velmara
