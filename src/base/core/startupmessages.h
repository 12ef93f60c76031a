#pragma once
// The messages of a start-up that cannot go on. They are shown before the text
// store is open (or because it cannot be opened), so their texts are kept here
// in German and English rather than in the master file.
#include "base/core/messages.h"
#include "base/core/programfolder.h"

#include <QLocale>
#include <QString>

namespace velmara {

// "de" or "en": the stored UsedLanguage when it is one of the two, otherwise
// German when the system speaks German and English for every other system.
QString startupLanguage(const QString& usedLanguage, QLocale::Language systemLanguage);
// The same with the system locale of this machine.
QString startupLanguage(const QString& usedLanguage);

// A database file (its file name, "velmara.mdb") that could not be opened; reason may be empty.
Message fileFailureMessage(const QString& language, const QString& fileName, const QString& reason);
// An opened file with damage in it: the program goes on, so a warning, not an error.
Message fileDamageMessage(const QString& language, const QString& path, const QString& firstDamage);

enum class MissingTable { Settings, Texts };
// The settings or the texts of the master file cannot be read; description is the
// database's own account of it (may be empty).
Message missingTableMessage(const QString& language, MissingTable table,
                            const QString& description);

// The chosen data folder cannot be created or written: its path and the reason.
Message unusableFolderMessage(const QString& language, const ProgramFolder::Choice& choice);

// Another velmara works with the same data folder (holder: which process, where).
Message alreadyRunningMessage(const QString& language, const QString& dataFolder,
                              const QString& holder);
// "process 4711 on host" in the language.
QString lockHolderText(const QString& language, qint64 pid, const QString& host);
// A database file of 0 bytes: damaged, its data gone. Yes starts a new file and
// keeps the damaged one under keptAs; No ends the program.
Message emptyFileQuestion(const QString& language, const QString& path, qint64 size,
                          const QString& keptAs);

} // namespace velmara
