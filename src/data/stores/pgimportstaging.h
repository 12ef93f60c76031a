#pragma once
// The staging of an import into the server: the values wait in a temporary
// table of the connection (gone with it), and a slice moves them into their
// series behind its values.
#include "data/stores/importstaging.h"
#include "data/stores/serverstation.h"

namespace velmara {

class ServerLine;

class PgImportStaging final : public ImportStaging {
public:
    PgImportStaging(ServerLine& line, ServerStation station)
        : m_line(line), m_station(std::move(station)) {}
    ~PgImportStaging() override;

    Result<void> begin() override;
    Result<qint64> add(const QVector<StagedValue>& values) override;
    void end() override;
    void holdSyncs(bool) override {}
    Result<void> inSlice(const std::function<Result<void>()>& work, bool durable) override;
    Result<void> moveInto(qint32 seriesId, qint64 from, qint64 to) override;
    Result<void> removeSome(qint32 seriesId, qint64 n) override;
    Result<int> removeUnfinished(qint32 seriesId) override;

private:
    ServerLine& m_line;
    ServerStation m_station;
    qint64 m_count = 0;
    bool m_haveTable = false;
};

} // namespace velmara
