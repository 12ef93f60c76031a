#pragma once
// The program text that goes to the charger and into the program library, built
// from the editor's fields, and the check of the charger's echo.
#include <QString>

namespace velmara {

class ProgramEditorModel;
struct ProgramOptions;

// "001,P,A05,M01,Z06,F0,W30,L02000,E01000,V14400,D10500" for the channel code.
// The extended fields come from the model's record when the charger has them.
QString buildProgramString(const ProgramEditorModel& model, const QString& channel,
                           const ProgramOptions& options);

// The charger echoes an accepted program with G (and, after an extended
// program, R) and the closing ","; the echo matches when what remains without
// them is the sent text exactly.
bool echoMatches(const QString& sent, const QString& answer, bool extensionAvailable);

} // namespace velmara
