#include "data/tempvalues.h"

#include "data/session.h"
#include "data/stores/valuestore.h"

namespace velmara {

bool deleteTempValues(Session& session) {
    return session.fileStores().values().clearTemporary().ok();
}

} // namespace velmara
