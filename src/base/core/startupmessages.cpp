#include "base/core/startupmessages.h"

#include <QDir>

namespace velmara {

namespace {

struct Text {
    const char* german;
    const char* english;
};

// Titles and sentences, each in both languages; %1 and %2 are filled in by the callers below.
const Text kTitle{"velmara - Fehler", "velmara - Error"};
const Text kWarningTitle{"velmara - Warnung", "velmara - Warning"};
const Text kFileFailure{
    "Die Datenbankdatei %1 konnte nicht geöffnet werden. Ohne sie kann velmara nicht arbeiten "
    "und wird jetzt beendet.",
    "The database file %1 could not be opened. velmara cannot work without it and closes now."};
const Text kFileDamage{
    "Die Datenbankdatei %1 ist beschädigt:\n%2\n\nvelmara arbeitet mit ihr weiter, aber Werte "
    "können fehlen oder falsch sein. Stellen Sie eine Sicherungskopie der Datei wieder her, "
    "falls Sie eine haben.",
    "The database file %1 is damaged:\n%2\n\nvelmara goes on with it, but values may be missing "
    "or wrong. Restore a backup copy of the file if you have one."};
const Text kSettingsMissing{
    "Die Einstellungen von velmara wurden in der Datenbankdatei velmara.mdb nicht gefunden. "
    "Ohne sie kann velmara nicht arbeiten und wird jetzt beendet. Bitte wenden Sie sich an "
    "Ihren Lieferanten.",
    "The settings of velmara were not found in the database file velmara.mdb. velmara cannot "
    "work without them and closes now. Please contact your supplier."};
const Text kTextsMissing{
    "Die Texte von velmara wurden in der Datenbankdatei velmara.mdb nicht gefunden. Ohne sie "
    "kann velmara nicht arbeiten und wird jetzt beendet. Bitte wenden Sie sich an Ihren "
    "Lieferanten.",
    "The texts of velmara were not found in the database file velmara.mdb. velmara cannot work "
    "without them and closes now. Please contact your supplier."};
const Text kUnusableFolder{
    "Der Datenordner %1 kann nicht verwendet werden: %2.\n\nOhne seine Datenbankdateien kann "
    "velmara nicht arbeiten und wird jetzt beendet.",
    "The data folder %1 cannot be used: %2.\n\nvelmara cannot work without its database files "
    "and closes now."};
const Text kAlreadyRunning{
    "velmara läuft bereits mit dem Datenordner %1 (%2). Zwei Programme an denselben Dateien "
    "würden sich gegenseitig die Daten zerstören; dieses wird jetzt beendet, ohne etwas zu "
    "verändern.",
    "velmara already runs with the data folder %1 (%2). Two programs on the same files would "
    "destroy each other's data, so this one closes now without changing anything."};
const Text kEmptyFile{
    "Die Datenbankdatei %1 ist leer (%2 Bytes) und damit beschädigt: ihre Daten können nicht "
    "gelesen werden.\n\nMit einer neuen, leeren Datei beginnen? Die beschädigte Datei wird "
    "als %3 aufbewahrt. Mit \"Nein\" wird velmara beendet und die Datei bleibt, wie sie ist.",
    "The database file %1 is empty (%2 bytes) and so damaged: its data cannot be read.\n\n"
    "Start with a new, empty file? The damaged file is kept as %3. \"No\" closes velmara and "
    "leaves the file as it is."};
const Text kHolder{"Prozess %1 auf %2", "process %1 on %2"};
const Text kReason{"Grund: %1", "Reason: %1"};

QString pick(const Text& text, const QString& language) {
    return QString::fromUtf8(language == QLatin1String("de") ? text.german : text.english);
}

Message critical(const QString& language, const QString& text, const QString& detail) {
    Message m;
    m.text = text;
    if (!detail.trimmed().isEmpty())
        m.text += QStringLiteral("\n\n") + pick(kReason, language).arg(detail.trimmed());
    m.title = pick(kTitle, language);
    m.icon = MsgIcon::Critical;
    m.buttons = MsgButtons::Ok;
    return m;
}

} // namespace

QString startupLanguage(const QString& usedLanguage, QLocale::Language systemLanguage) {
    const QString stored = usedLanguage.trimmed().toLower();
    if (stored == QLatin1String("de") || stored == QLatin1String("en"))
        return stored;
    return systemLanguage == QLocale::German ? QStringLiteral("de") : QStringLiteral("en");
}

QString startupLanguage(const QString& usedLanguage) {
    return startupLanguage(usedLanguage, QLocale::system().language());
}

Message fileFailureMessage(const QString& language, const QString& fileName,
                           const QString& reason) {
    return critical(language, pick(kFileFailure, language).arg(fileName), reason);
}

Message fileDamageMessage(const QString& language, const QString& path,
                          const QString& firstDamage) {
    Message m;
    m.text = pick(kFileDamage, language).arg(path, firstDamage);
    m.title = pick(kWarningTitle, language);
    m.icon = MsgIcon::Exclamation;
    m.buttons = MsgButtons::Ok;
    return m;
}

Message missingTableMessage(const QString& language, MissingTable table,
                            const QString& description) {
    return critical(
        language,
        pick(table == MissingTable::Settings ? kSettingsMissing : kTextsMissing, language),
        description);
}

Message unusableFolderMessage(const QString& language, const ProgramFolder::Choice& choice) {
    const QString folder = QDir::toNativeSeparators(choice.folder.dataDir());
    return critical(language, pick(kUnusableFolder, language).arg(folder, choice.problem), {});
}

Message alreadyRunningMessage(const QString& language, const QString& dataFolder,
                              const QString& holder) {
    return critical(
        language, pick(kAlreadyRunning, language).arg(QDir::toNativeSeparators(dataFolder), holder),
        {});
}

QString lockHolderText(const QString& language, qint64 pid, const QString& host) {
    return pick(kHolder, language).arg(pid).arg(host);
}

Message emptyFileQuestion(const QString& language, const QString& path, qint64 size,
                          const QString& keptAs) {
    Message m = critical(language,
                         pick(kEmptyFile, language)
                             .arg(QDir::toNativeSeparators(path))
                             .arg(size)
                             .arg(QDir::toNativeSeparators(keptAs)),
                         {});
    m.buttons = MsgButtons::YesNo;
    return m;
}

} // namespace velmara
