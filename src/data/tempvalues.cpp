#include "data/tempvalues.h"

#include "data/session.h"
#include "data/stores/valuestore.h"

namespace velmara {

bool deleteTempValues(Session& session) {
    return session.stores().values().clearTemporary().ok();
}

} // namespace velmara
