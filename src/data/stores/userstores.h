#pragma once
// The typed stores of the user data, as one engine provides them. The session
// owns one set over its user file; features are handed the store they need.
#include "data/stores/userfile.h"

#include <QString>

#include <functional>
#include <memory>

namespace velmara {

class BatteryRecords;
class ImportStaging;
class ProgramStore;
class ValueStore;

class UserStores {
public:
    virtual ~UserStores() = default;
    virtual ValueStore& values() = 0;
    virtual BatteryRecords& batteries() = 0;
    virtual ProgramStore& programs() = 0;
    // The staging of one import of a series file.
    virtual std::unique_ptr<ImportStaging> newImportStaging() = 0;
};

// The stores over an SQLite user file, reached at the moment of use; station
// names the station that records a new series.
std::unique_ptr<UserStores> makeSqliteStores(UserFile file, std::function<QString()> station = {});

} // namespace velmara
