#include "data/stores/sqlitebatteryrecords.h"
#include "data/stores/sqlitevaluestore.h"
#include "data/stores/userstores.h"

namespace velmara {

namespace {
class SqliteStores final : public UserStores {
public:
    explicit SqliteStores(UserFile file) : m_values(file), m_batteries(file) {}
    ValueStore& values() override { return m_values; }
    BatteryRecords& batteries() override { return m_batteries; }

private:
    SqliteValueStore m_values;
    SqliteBatteryRecords m_batteries;
};
} // namespace

std::unique_ptr<UserStores> makeSqliteStores(UserFile file) {
    return std::make_unique<SqliteStores>(std::move(file));
}

} // namespace velmara
