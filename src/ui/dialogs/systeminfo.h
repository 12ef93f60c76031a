#pragma once
// What the information window tells about the program's libraries and the
// machine, without any window.
#include <QString>
#include <QStringList>

namespace velmara {

// "velmara 3.0.1": the program's version as built.
QString programVersion();
// One line per library the program runs on, with its version ("Qt 6.4.2").
QStringList libraryVersions();

// The first known system-information program found in the folders (the PATH
// when empty), as a full path; "" when there is none.
QString findSystemInfoTool(const QStringList& folders = {});

// Summaries of /proc texts: "model name × count" and "MemTotal in GiB" ("" when absent).
QString cpuSummary(const QString& cpuinfo);
QString memorySummary(const QString& meminfo);
// Operating system, kernel, architecture, host, processor and memory, one per line.
QString systemSummary();

} // namespace velmara
