#include "data/stores/userfile.h"

#include "storage/database.h"

namespace velmara {

Result<Database*> openUserFile(const UserFile& file) {
    Database* db = file ? file() : nullptr;
    if (!db || !db->isOpen())
        return Failure{QStringLiteral("The user file is not open.")};
    return db;
}

Failure failureOf(Database& db) {
    return Failure{db.lastError().isEmpty() ? QStringLiteral("The user file refused.")
                                            : db.lastError()};
}

} // namespace velmara
