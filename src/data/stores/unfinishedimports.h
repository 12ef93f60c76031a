#pragma once
// Series being imported into the user file. Their values go in over many short
// transactions under a series without a number that is listed in
// ImportMessReihen (with the battery made for it, if any) and that no list of
// series shows; the transaction that moves the last values numbers the series
// and takes it off the list. What an import left on the list when the program
// ended is removed when the user file is opened.
#include <QString>

namespace velmara {

class Database;

// Removes the unfinished imports (all of them, or the one of seriesId) with
// their values, their series and the batteries made for them, in one
// transaction. The number of series removed; -1 (error set) when the file
// refuses, and then nothing is removed.
int removeUnfinishedImports(Database& user, qint32 seriesId = -1, QString* error = nullptr);

} // namespace velmara
