#include "ui/dialogs/selection.h"

#include "data/session.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara {

namespace {
ChoiceList readChoices(Database* db, const QString& sql, const QString& textField,
                       const QString& valueField) {
    ChoiceList list;
    if (!db)
        return list;
    auto rs = db->openRecordset(sql);
    if (!rs->isValid())
        return list;
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        list.append({rs->text(textField), rs->text(valueField)});
    return list;
}
} // namespace

// Every language by its own name ("Deutsch", "English"), so that a user finds
// theirs whatever language the program speaks now; in the order of the table
// (the order the languages were delivered in), which no language change reorders.
// A language without a name of its own is shown by its code.
ChoiceList languageChoices(Database* master) {
    ChoiceList list =
        readChoices(master,
                    QStringLiteral("SELECT Sprachen.SprachCode, NLSResources.ResourceText "
                                   "FROM Sprachen LEFT JOIN NLSResources "
                                   "ON NLSResources.ResourceID = Sprachen.SprachResID "
                                   "AND NLSResources.SprachCode = Sprachen.SprachCode "
                                   "WHERE Sprachen.Usable<>0 ORDER BY Sprachen.ID"),
                    QStringLiteral("ResourceText"), QStringLiteral("SprachCode"));
    for (Choice& c : list)
        if (c.text.trimmed().isEmpty())
            c.text = c.value;
    return list;
}

ChoiceList chargerChoices(Database* master) {
    return readChoices(master, QStringLiteral("SELECT * FROM Ladegeraete"),
                       QStringLiteral("Geraetebezeichnung"), QStringLiteral("Geraetekuerzel"));
}

QString channelCountKey(const QString& shortName) {
    if (shortName == QLatin1String("QMT1"))
        return QStringLiteral("0208");
    if (shortName == QLatin1String("QMT4"))
        return QStringLiteral("0210");
    return {};
}

ChoiceList describedChargers(const ChoiceList& chargers,
                             const std::function<QString(const QString&)>& text) {
    ChoiceList out = chargers;
    for (Choice& c : out) {
        const QString key = channelCountKey(c.value);
        if (!key.isEmpty())
            c.text += QStringLiteral(" (") + text(key) + QLatin1Char(')');
    }
    return out;
}

int indexOfValue(const ChoiceList& choices, const QString& value) {
    for (int i = 0; i < choices.size(); ++i)
        if (choices[i].value == value)
            return i;
    return -1;
}

bool isPortChoiceComplete(int port, const QStringList& devicePaths) {
    return port >= 1 && port <= comPortCount && port <= devicePaths.size() &&
           !devicePaths[port - 1].trimmed().isEmpty();
}

void storePortChoice(SettingsStore& settings, int port, const QStringList& devicePaths) {
    settings.setSetting(QLatin1String(kComPortKey), QString::number(port));
    for (int n = 1; n <= comPortCount && n <= devicePaths.size(); ++n) {
        const QString path = devicePaths[n - 1].trimmed();
        if (!path.isEmpty() && path != settings.getSetting(comDeviceKey(n)))
            settings.setSetting(comDeviceKey(n), path);
    }
}

ChangeAnswer askChange(Session& session, const QString& current, const QString& chosen,
                       const QString& warningKey) {
    const QString title = QStringLiteral("0410");
    if (chosen == current)
        return ChangeAnswer::Unchanged;
    if (showKeyed(session, warningKey, title, MsgIcon::Exclamation, MsgButtons::OkCancel) !=
        MsgAnswer::Ok)
        return ChangeAnswer::Cancelled;
    if (showKeyed(session, QStringLiteral("1090"), title, MsgIcon::Question, MsgButtons::YesNo) !=
        MsgAnswer::Yes)
        return ChangeAnswer::Declined;
    return ChangeAnswer::Confirmed;
}

bool changeSettingAndQuit(Session& session, const QString& settingKey, const QString& chosen,
                          const QString& warningKey) {
    if (askChange(session, session.setting(settingKey), chosen, warningKey) !=
        ChangeAnswer::Confirmed)
        return false;
    session.setSetting(settingKey, chosen);
    return true;
}

} // namespace velmara
