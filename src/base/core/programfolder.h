#pragma once
#include <QString>

namespace velmara {

// Where the program keeps its files: the databases in Daten/, the log and the help file.
class ProgramFolder {
public:
    ProgramFolder() = default;
    explicit ProgramFolder(QString root) : m_root(std::move(root)) {}

    // The outcome of choosing the folder at start. problem is empty when the
    // folder can be used; otherwise it names the Daten folder and why it cannot.
    struct Choice;

    // The folder of the executable when the program keeps its files beside
    // itself there (keepsFilesBeside, for userId) and a Daten folder exists
    // there or can be created; otherwise homeBase/velmara. A Daten folder that
    // exists but cannot be used (not a folder, a link to nothing, not readable
    // or not writable) is a problem of its own: the program must not quietly
    // start on another folder, where the user's batteries and series would seem
    // lost.
    static Choice resolve(const QString& executableDir, const QString& homeBase, uint userId);
    // The folder resolve chooses, found without making anything.
    static QString preferredRoot(const QString& executableDir, const QString& homeBase,
                                 uint userId);
    // $XDG_DATA_HOME, default ~/.local/share.
    static QString homeBase();

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

struct ProgramFolder::Choice {
    ProgramFolder folder;
    QString problem;
};

// Whether the program in executableDir, run by userId, keeps its files beside
// itself: only a build or a copy that belongs to that user. An installed
// program never does: below the system's folders (/usr, /bin, /sbin, /opt), in
// a tree with its shared files in ../share/velmara, or in a folder of another
// user; so one run as root leaves nothing there that locks out everybody else.
bool keepsFilesBeside(const QString& executableDir, uint userId);

// Why an existing Daten folder cannot be used, or "" when it can.
QString dataFolderProblem(const QString& dataDir);

// The manual: beside the executable (a build), in ../share/velmara below it (an
// installed program), or in the program folder; the first that exists (the
// program folder's path when none does).
QString findManual(const QString& executableDir, const ProgramFolder& folder);

} // namespace velmara
