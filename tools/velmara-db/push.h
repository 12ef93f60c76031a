#pragma once
// velmara-db push: copies the user file of a program folder onto a PostgreSQL
// server, the program library and every battery with its series and values.
// A battery goes in one transaction with all it holds; the server remembers
// what came from this file (by the file's station key), so pushing it again
// adds nothing. A battery or program of the same name that the file did not
// put there is left alone and reported.
#include <QString>
#include <QTextStream>

namespace velmara {

// Exit statuses of a push.
enum PushStatus { PushDone = 0, PushFailed = 1, PushSkippedClashes = 3 };

// conninfo: libpq's connection string or "service=NAME" ("" takes libpq's
// defaults and environment). Progress and the summary go to out, clashes and
// failures to err; the exit status.
int pushUserFile(const QString& folderPath, const QString& conninfo, QTextStream& out,
                 QTextStream& err);

} // namespace velmara
