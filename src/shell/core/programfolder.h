#pragma once
#include <QString>

namespace velmara {

// Where the program keeps its files: the databases in Daten/, the log and the help file.
class ProgramFolder {
public:
    ProgramFolder() = default;
    explicit ProgramFolder(QString root) : m_root(std::move(root)) {}

    // The folder of the executable when a Daten folder exists there or can be
    // created; otherwise $XDG_DATA_HOME/velmara (default ~/.local/share/velmara).
    static ProgramFolder resolve(const QString& executableDir);

    const QString& root() const { return m_root; }
    QString dataDir() const { return m_root + "/Daten"; }
    QString masterPath() const { return dataDir() + "/velmara.mdb"; }
    QString userPath() const { return dataDir() + "/veluser.mdb"; }
    QString compactTempPath() const { return dataDir() + "/veluser.$$$"; }
    QString logPath() const { return m_root + "/error.log"; }
    QString helpPath() const { return m_root + "/help/index.html"; }

private:
    QString m_root;
};

// The program-wide folder, set once at start.
const ProgramFolder& programFolder();
void setProgramFolder(const ProgramFolder& folder);

} // namespace velmara
