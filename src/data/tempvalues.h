#pragma once
// The temporary value table of the user file: TempMessWerte holds the values
// of the running program's temporary series (a recording adopts them through
// ValueStore::adoptTemporarySeries).
#include <QtGlobal>

namespace velmara {

class Session;

// Empties TempMessWerte. False when the user file is not open or refuses.
bool deleteTempValues(Session& session);

} // namespace velmara
