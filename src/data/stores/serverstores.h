#pragma once
// The typed stores of the user data on a PostgreSQL server, over one
// connection of their own. Every call waits for the server (each wait
// bounded), so they belong to a thread that may wait: never the user
// interface's.
#include "data/stores/serverline.h"
#include "data/stores/serverstation.h"
#include "data/stores/userstores.h"

#include <memory>

namespace velmara {

class ServerStores : public UserStores {
public:
    ~ServerStores() override = default;
    virtual ServerLine& line() = 0;
};

std::unique_ptr<ServerStores> makeServerStores(const QString& conninfo, ServerStation station,
                                               ServerWaits waits = {});

} // namespace velmara
