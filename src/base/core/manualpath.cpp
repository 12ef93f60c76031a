#include "base/core/manualpath.h"

#include "base/core/programfolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace velmara {

QString findManualInLanguage(const QString& executableDir, const ProgramFolder& folder,
                             const QString& language) {
    const QDir exe(executableDir);
    const QStringList places{exe.filePath(QStringLiteral("help")),
                             exe.filePath(QStringLiteral("../share/velmara/help")),
                             QFileInfo(folder.helpPath()).path()};
    QStringList candidates;
    for (const QString& place : places) {
        if (!language.isEmpty())
            candidates << place + QLatin1Char('/') + language + QStringLiteral("/index.html");
        candidates << place + QStringLiteral("/index.html");
    }
    for (const QString& path : candidates)
        if (QFileInfo::exists(path))
            return QFileInfo(path).canonicalFilePath();
    return folder.helpPath();
}

} // namespace velmara
