#pragma once
// Who this station is to the server: the name users read (a setting, the host
// name by default) and a key made once per user file that nothing else has, so
// that two stations with the same name never take each other's values.
#include <QString>

namespace velmara {

struct ServerStation {
    QString name;
    QString key;
};

} // namespace velmara
