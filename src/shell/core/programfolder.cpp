#include "shell/core/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmara {

namespace {
ProgramFolder g_folder;

bool usable(const QString& dir) {
    QDir d(dir);
    if (d.exists("Daten"))
        return QFileInfo(d.filePath("Daten")).isWritable();
    return d.mkpath("Daten");
}
} // namespace

ProgramFolder ProgramFolder::resolve(const QString& executableDir) {
    if (!executableDir.isEmpty() && usable(executableDir))
        return ProgramFolder(QDir(executableDir).absolutePath());
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + "/.local/share";
    QString dir = base + "/velmara";
    QDir().mkpath(dir + "/Daten");
    return ProgramFolder(dir);
}

const ProgramFolder& programFolder() {
    return g_folder;
}
void setProgramFolder(const ProgramFolder& folder) {
    g_folder = folder;
}

} // namespace velmara
