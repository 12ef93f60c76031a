#pragma once
// The named programs of the user file (table Programme): list, load, store
// under a name (new or overwriting), delete. Names are compared as the file
// compares them (without regard to case) and never pasted into a query.
#include <QLocale>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

namespace velmara {

class Database;
class Recordset;

struct StoredProgram {
    qint64 id = -1; // ProgrammID
    QString name;   // Bez
    QString text;   // Daten, the program text
};

class ProgramLibrary {
public:
    // Names are listed in the order of the language given.
    explicit ProgramLibrary(Database* user, const QLocale& language = QLocale());
    ~ProgramLibrary();

    bool isValid() const;
    // All programs by name as a reader orders them: without regard to case,
    // an accented letter beside its plain one.
    QVector<StoredProgram> programs() const;
    // The program with this id; id -1 when there is none.
    StoredProgram byId(qint64 id) const;

    enum class NameLookup { Free, Exists, Failed };
    NameLookup lookUpName(const QString& name, qint64* id = nullptr) const;

    enum class SaveOutcome { Inserted, Overwritten, Kept, NoName, Failed };
    struct SaveResult {
        SaveOutcome outcome = SaveOutcome::Failed;
        qint64 id = -1; // the row stored or overwritten
    };
    // Stores text under the trimmed name. When the name exists, confirmOverwrite
    // decides: false keeps the stored program.
    SaveResult save(const QString& name, const QString& text,
                    const std::function<bool()>& confirmOverwrite);
    // False with lastError() "" when the program is no longer there.
    bool remove(qint64 id);

    const QString& lastError() const { return m_error; }

private:
    bool findName(const QString& name) const;
    std::unique_ptr<Recordset> m_rs; // SELECT * FROM Programme ORDER BY Bez
    QLocale m_language;
    mutable QString m_error;
};

} // namespace velmara
