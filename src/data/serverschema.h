#pragma once
// The schema of the shared user data on a PostgreSQL server, in numbered steps
// like the user file's: the server records the last step it has run in the
// table velmara_schema; each missing step runs as one transaction. A server
// whose schema is newer than this program knows is refused untouched.
#include "base/core/result.h"

namespace velmara {

class PgConnection;

// On a thread that may wait for the server (the store thread):
// The schema version the server has (0: none yet).
Result<int> serverSchemaVersion(PgConnection& server);
// Runs the steps the server lacks, as one transaction; the version it has then.
Result<int> upgradeServerSchema(PgConnection& server);

} // namespace velmara
