#pragma once
// What the information window tells about the program's libraries and the
// machine, without any window.
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmara {

class Database;

// "velmara 3.0.1": the program's version as built.
QString programVersion();
// One line per library the program runs on, with its version ("Qt 6.4.2").
// The cipher's version is read from the master file (left out without one).
QStringList libraryVersions(Database* master);

// The first known system-information program found in the folders (the PATH
// when empty), as a full path; "" when there is none.
QString findSystemInfoTool(const QStringList& folders = {});

// Summaries of /proc texts: "model name × count" and "MemTotal in GiB" ("" when
// absent), the GiB with the decimal mark of the locale.
QString cpuSummary(const QString& cpuinfo);
QString memorySummary(const QString& meminfo, const QLocale& locale = QLocale::c());
// Operating system, kernel with architecture, host, processor and memory, one
// labelled line each ("Kernel: Linux 6.1 x86_64"); label looks up the text keys
// "1616" to "1624". Lines without a value are left out.
QString systemSummary(const std::function<QString(const QString&)>& label,
                      const QLocale& locale = QLocale::c());
// "Label: value" from a label text that may already end in a colon.
QString labelledLine(const QString& label, const QString& value);

} // namespace velmara
