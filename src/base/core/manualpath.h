#pragma once
// The manual in the program's language.
#include <QString>

namespace velmara {

class ProgramFolder;

// Like findManual (programfolder.h): beside the executable, in ../share/velmara
// below it, or in the program folder, the first that exists; in each place the
// manual of the language ("de": help/de/index.html) before the English
// help/index.html. The program folder's path when there is none.
QString findManualInLanguage(const QString& executableDir, const ProgramFolder& folder,
                             const QString& language);

} // namespace velmara
