#include "data/stores/sqlitevaluestore.h"
#include "data/stores/userstores.h"

namespace velmara {

namespace {
class SqliteStores final : public UserStores {
public:
    explicit SqliteStores(UserFile file) : m_values(file) {}
    ValueStore& values() override { return m_values; }

private:
    SqliteValueStore m_values;
};
} // namespace

std::unique_ptr<UserStores> makeSqliteStores(UserFile file) {
    return std::make_unique<SqliteStores>(std::move(file));
}

} // namespace velmara
