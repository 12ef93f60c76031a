#pragma once
// The temporary value tables of the user file: TempMessWerte holds the values
// of the running program's temporary series; TempTempMessWerte is the staging
// table of a move into MessWerte.
#include <QtGlobal>

namespace velmara {

class Database;
class Session;

// Empties TempMessWerte and reopens the session's shared TempMessWerte record
// set on it. False when the user file is not open or the statement fails.
bool deleteTempValues(Session& session);

// Copies the rows of temporary series t into MessWerte as rows of series m, in
// recording order. All four statements run in one transaction: on failure
// nothing has changed and the result is false. A series without rows is no failure.
bool moveTempSeries(Database& db, qint32 t, qint32 m);

} // namespace velmara
