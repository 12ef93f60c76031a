#pragma once
// The named programs of the user file (table Programme) as plain reads and
// writes; the rules (names trimmed, compared without regard to case, the order
// of the list) are ProgramLibrary's (programs/core).
#include "base/core/result.h"

#include <QString>
#include <QVector>

#include <optional>

namespace velmara {

struct StoredProgram {
    qint64 id = -1; // ProgrammID
    QString name;   // Bez
    QString text;   // Daten, the program text
};

class ProgramStore {
public:
    virtual ~ProgramStore() = default;
    // Every program, in no particular order.
    virtual Result<QVector<StoredProgram>> all() = 0;
    virtual Result<std::optional<StoredProgram>> byId(qint64 id) = 0;
    // The new program's key.
    virtual Result<qint64> insert(const QString& name, const QString& text) = 0;
    virtual Result<void> overwrite(qint64 id, const QString& text) = 0;
    // False when there was no such program.
    virtual Result<bool> remove(qint64 id) = 0;
};

} // namespace velmara
