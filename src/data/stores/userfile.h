#pragma once
// The user file as the SQLite stores reach it: at the moment of use, since the
// file may be opened anew (compacting) while a store lives.
#include "base/core/result.h"

#include <functional>

namespace velmara {

class Database;

using UserFile = std::function<Database*()>;

// The open user file, or a failure naming why there is none.
Result<Database*> openUserFile(const UserFile& file);
// The file's last error as a failure (a generic text when it has none).
Failure failureOf(Database& db);

} // namespace velmara
