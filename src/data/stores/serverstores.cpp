#include "data/stores/serverstores.h"

#include "data/stores/pgbatteryrecords.h"
#include "data/stores/pgimportstaging.h"
#include "data/stores/pgprogramstore.h"
#include "data/stores/pgvaluestore.h"

namespace velmara {

namespace {
class PgStores final : public ServerStores {
public:
    PgStores(const QString& conninfo, ServerStation station, ServerWaits waits)
        : m_line(conninfo, waits), m_station(std::move(station)), m_values(m_line),
          m_batteries(m_line, m_station), m_programs(m_line) {}
    ValueStore& values() override { return m_values; }
    BatteryRecords& batteries() override { return m_batteries; }
    ProgramStore& programs() override { return m_programs; }
    std::unique_ptr<ImportStaging> newImportStaging() override {
        return std::make_unique<PgImportStaging>(m_line, m_station);
    }
    ServerLine& line() override { return m_line; }

private:
    ServerLine m_line;
    ServerStation m_station;
    PgValueStore m_values;
    PgBatteryRecords m_batteries;
    PgProgramStore m_programs;
};
} // namespace

std::unique_ptr<ServerStores> makeServerStores(const QString& conninfo, ServerStation station,
                                               ServerWaits waits) {
    return std::make_unique<PgStores>(conninfo, std::move(station), waits);
}

} // namespace velmara
