#pragma once
// The data tool: velmara-db --folder DIR init | get KEY | set KEY VALUE |
// push --to CONNINFO.
#include <QStringList>
#include <QTextStream>

namespace velmara {

// Runs one command line (without the program name); writes results to out and
// errors to err; returns the exit status (0 success).
int runDbTool(const QStringList& args, QTextStream& out, QTextStream& err);

} // namespace velmara
