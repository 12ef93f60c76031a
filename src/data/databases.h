#pragma once
// The two database files of the program folder, opened once at start and kept
// open until the end: the master file (settings, texts, reference data) and the
// user file (programs, batteries, series, values).
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

namespace velmara {

class Database;
class Recordset;
class ProgramFolder;
struct SchemaStep;

// "MS Access;PWD=..." with the program's database password.
QString connectString();

// Creates Daten/ and any missing file from the delivered content (schema and
// rows); an existing file is never touched. False with error text on failure.
bool createMissingDatabaseFiles(const ProgramFolder& folder, QString* error = nullptr);

// Creates one file at a temporary name from the schema steps and rows, and moves
// it into place only when it is complete (an existing file is left alone).
bool createFileAt(const QString& path, const QVector<SchemaStep>& steps, const QString& rows,
                  QString* error);
// The findings of the engine's quick integrity check, empty when the file is sound.
QStringList quickCheckProblemsOf(Database& db);
// Copies the user file source into target without its free space; target keeps
// the key and the schema version.
bool exportCompactedCopy(const QString& source, const QString& target, QString* error);

// The shared record sets of a session on the master file's reference rows, on
// the query texts built from the settings UsedCharger and UsedLanguage.
struct SharedRecordsets {
    QString sqlAkkutypen, sqlGeraeteModi, sqlFormierModi, sqlMinMaxWerte, sqlDiagramPoints;
    std::unique_ptr<Recordset> akkutypen, geraeteModi, formierModi, minMaxWerte, diagramPoints;
};

// Query texts by charger family and language (exactly as the record sets use them).
QString akkutypenQuery(const QString& usedCharger, const QString& language);
QString geraeteModiQuery(const QString& language);
QString formierModiQuery();
QString minMaxWerteQuery(const QString& usedCharger);
// The language list of the language dialogs, in the current language.
QString languageListQuery(const QString& language);

// Whether the compacted copy target may replace the closed user file source: it
// opens with the program's connect string, has the same schema version, passes
// the engine's quick check and holds as many rows in every table. False with the
// reason in *error otherwise.
bool checkCompactedCopy(const QString& source, const QString& target, QString* error);
using CompactedCopyCheck = std::function<bool(const QString&, const QString&, QString*)>;

} // namespace velmara
