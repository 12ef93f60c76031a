#pragma once
// Where the user data lives, as the settings say: in the user file (the
// setting UserDataServer is empty) or on a PostgreSQL server (the setting
// holds its libpq connection string or "service=NAME"), and the station's name
// (StationName; empty: the host name). Read at start; a change counts from the
// next start.
#include "base/core/result.h"

#include <QCoroTask>
#include <QString>

namespace velmara {

class SettingsStore;

struct UserDataPlace {
    QString server;  // "" : the user file
    QString station; // "" : the host name
};

UserDataPlace loadUserDataPlace(SettingsStore& settings);
void storeUserDataPlace(SettingsStore& settings, const UserDataPlace& place);

// Connects to the server once, on the event loop: the schema version it has
// (0: none yet, made at the first start against it), or why it cannot be reached.
QCoro::Task<Result<int>> probeServer(QString conninfo);

} // namespace velmara
