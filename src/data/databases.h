#pragma once
// The two database files of the program folder, opened once at start and kept
// open until the end: the master file (settings, texts, reference data) and the
// user file (programs, batteries, series, values).
#include <QString>

#include <functional>
#include <memory>

namespace velmara {

class Database;
class Recordset;
class ProgramFolder;

// "MS Access;PWD=..." with the program's database password.
QString connectString();

// Creates Daten/ and any missing file from the delivered content (schema and
// rows); an existing file is never touched. False with error text on failure.
bool createMissingDatabaseFiles(const ProgramFolder& folder, QString* error = nullptr);

// Opens velmara.mdb / veluser.mdb of the program folder (creating missing ones
// first), brings their schema up to date and keeps the handle. On failure the
// fatal message is shown and false returned; the caller ends the program.
bool openMasterDatabase();
bool openUserDatabase();
Database* masterDatabase();
Database* userDatabase();
// Releases the shared record sets and the stores' record sets, then closes both files.
void closeDatabases();

// The nine shared record sets of the running program, on the query texts built
// from the settings UsedCharger and UsedLanguage.
struct SharedRecordsets {
    QString sqlAkkutypen, sqlGeraeteModi, sqlFormierModi, sqlMinMaxWerte, sqlProgramme, sqlAkkus,
        sqlMessWerte, sqlTempMessWerte, sqlDiagramPoints;
    std::unique_ptr<Recordset> akkutypen, geraeteModi, formierModi, minMaxWerte, programme, akkus,
        messWerte, tempMessWerte, diagramPoints;
};
SharedRecordsets& shared();

// Query texts by charger family and language (exactly as the record sets use them).
QString akkutypenQuery(const QString& usedCharger, const QString& language);
QString geraeteModiQuery(const QString& language);
QString formierModiQuery();
QString minMaxWerteQuery(const QString& usedCharger);
// The language list of the language dialogs, in the current language.
QString languageListQuery(const QString& language);

// Builds the texts and opens the nine sets (false when one cannot be opened).
bool openSharedRecordsets();
void closeSharedRecordsets();

// Whether the compacted copy target may replace the closed user file source: it
// opens with the program's connect string, has the same schema version, passes
// the engine's quick check and holds as many rows in every table. False with the
// reason in *error otherwise.
bool checkCompactedCopy(const QString& source, const QString& target, QString* error);
using CompactedCopyCheck = std::function<bool(const QString&, const QString&, QString*)>;

// The menu command: two confirmations, close the user file, copy it into
// veluser.$$$ leaving out free space, check the copy, swap the files, report.
// Returns true when the file was compacted (the caller then ends the program).
// On failure "Fehler" is shown, the old file stays and is opened again.
bool compactUserDatabase(const CompactedCopyCheck& check = checkCompactedCopy);

} // namespace velmara
