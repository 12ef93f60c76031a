#pragma once
// The named programs of the user file: list, load, store under a name (new or
// overwriting), delete, over the program store of any engine. Names are
// trimmed and compared without regard to case.
#include "data/stores/programstore.h"

#include <QLocale>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

namespace velmara {

class ProgramLibrary {
public:
    // Names are listed in the order of the language given.
    // store null: no user file (every operation fails).
    explicit ProgramLibrary(ProgramStore* store, const QLocale& language = QLocale());
    ~ProgramLibrary();

    // Whether the programs can be read.
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
    ProgramStore* m_store;
    QLocale m_language;
    mutable QString m_error;
};

} // namespace velmara
