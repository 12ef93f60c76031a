#include "data/stores/sqlitebatteryrecords.h"
#include "data/stores/sqliteimportstaging.h"
#include "data/stores/sqliteprogramstore.h"
#include "data/stores/sqlitevaluestore.h"
#include "data/stores/userstores.h"

namespace velmara {

namespace {
class SqliteStores final : public UserStores {
public:
    SqliteStores(UserFile file, std::function<QString()> station)
        : m_file(file), m_values(file), m_batteries(file, std::move(station)), m_programs(file) {}
    ValueStore& values() override { return m_values; }
    BatteryRecords& batteries() override { return m_batteries; }
    ProgramStore& programs() override { return m_programs; }
    std::unique_ptr<ImportStaging> newImportStaging() override {
        return std::make_unique<SqliteImportStaging>(m_file);
    }

private:
    UserFile m_file;
    SqliteValueStore m_values;
    SqliteBatteryRecords m_batteries;
    SqliteProgramStore m_programs;
};
} // namespace

std::unique_ptr<UserStores> makeSqliteStores(UserFile file, std::function<QString()> station) {
    return std::make_unique<SqliteStores>(std::move(file), std::move(station));
}

} // namespace velmara
