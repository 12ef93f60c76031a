#include "base/core/programfolder.h"

#include <QDir>
#include <QFileInfo>

namespace velmara {

namespace {

// A Daten entry of any kind, a link to nothing included.
bool present(const QFileInfo& info) {
    return info.exists() || info.isSymLink();
}

// True when root is the program folder: it has a Daten entry (*problem says
// what is wrong with it, if anything) or one could be made there now. False
// when there is none and none can be made.
bool take(const QString& root, QString* problem) {
    const QString dataDir = ProgramFolder(root).dataDir();
    if (present(QFileInfo(dataDir))) {
        *problem = dataFolderProblem(dataDir);
        return true;
    }
    return QDir().mkpath(dataDir);
}

bool below(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}
} // namespace

bool keepsFilesBeside(const QString& executableDir, uint userId) {
    const QFileInfo info(executableDir);
    const QString path =
        info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    for (const char* system : {"/usr", "/bin", "/sbin", "/opt"})
        if (below(path, QLatin1String(system)))
            return false;
    if (QFileInfo(path + QStringLiteral("/../share/velmara")).isDir())
        return false;
    return info.ownerId() == userId;
}

QString dataFolderProblem(const QString& dataDir) {
    const QFileInfo info(dataDir);
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("it is a link to %1, which does not exist").arg(info.symLinkTarget());
    if (!info.exists())
        return QStringLiteral("it does not exist");
    if (!info.isDir())
        return QStringLiteral("it is not a folder");
    if (!info.isReadable() || !info.isExecutable())
        return QStringLiteral("it cannot be read");
    if (!info.isWritable())
        return QStringLiteral("it is read-only");
    return QString();
}

ProgramFolder::Choice ProgramFolder::resolve(const QString& executableDir, const QString& homeBase,
                                             uint userId) {
    Choice choice;
    if (!executableDir.isEmpty() && keepsFilesBeside(executableDir, userId)) {
        const QString root = QDir(executableDir).absolutePath();
        if (take(root, &choice.problem)) {
            choice.folder = ProgramFolder(root);
            return choice;
        }
    }
    const QString root = homeBase + QStringLiteral("/velmara");
    choice.folder = ProgramFolder(root);
    if (!take(root, &choice.problem) && choice.problem.isEmpty())
        choice.problem = QStringLiteral("it cannot be created");
    return choice;
}

QString ProgramFolder::preferredRoot(const QString& executableDir, const QString& homeBase,
                                     uint userId) {
    if (!executableDir.isEmpty() && keepsFilesBeside(executableDir, userId)) {
        const QString root = QDir(executableDir).absolutePath();
        const QFileInfo folder(root);
        if (present(QFileInfo(ProgramFolder(root).dataDir())) ||
            (folder.isDir() && folder.isWritable()))
            return root;
    }
    return homeBase + QStringLiteral("/velmara");
}

QString ProgramFolder::homeBase() {
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    return base.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : base;
}

QString findManual(const QString& executableDir, const ProgramFolder& folder) {
    const QDir exe(executableDir);
    const QStringList candidates{exe.filePath(QStringLiteral("help/index.html")),
                                 exe.filePath(QStringLiteral("../share/velmara/help/index.html")),
                                 folder.helpPath()};
    for (const QString& path : candidates)
        if (QFileInfo::exists(path))
            return QFileInfo(path).canonicalFilePath();
    return folder.helpPath();
}

} // namespace velmara
