#pragma once
// Stores whose calls wait for a server, reached from the user interface's
// thread: each call runs on the store thread (storethread.h). The temporary
// series stay in the user file and are read and written here at once.
#include "data/stores/storethread.h"
#include "data/stores/userstores.h"

#include <memory>

namespace velmara {

class ServerStores;

// local: the stores of the user file (its temporary series).
std::unique_ptr<UserStores> makeThreadedStores(StoreThread& thread, UserStores& server,
                                               ValueStore& local);

} // namespace velmara
