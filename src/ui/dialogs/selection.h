#pragma once
// What the selection dialogs decide, without any window: the choices offered
// (languages, charger models), the serial port a ComPort value stands for, and
// the two questions before a setting that ends the program is changed.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

#include "data/portsetting.h"

namespace velmara {

class Database;
class Session;
class SettingsStore;

// One entry of a selection list: the text shown and the value it yields.
struct Choice {
    QString text;
    QString value;
};
using ChoiceList = QList<Choice>;

// The usable languages, each named in its own language, in the order of the table.
// None without a master file.
ChoiceList languageChoices(Database* master);
// The charger models: Geraetebezeichnung shown, Geraetekuerzel yielded.
ChoiceList chargerChoices(Database* master);
// The key of the channel count of a known charger family ("0208" for QMT1,
// "0210" for QMT4), "" for any other short name.
QString channelCountKey(const QString& shortName);
// The models as the list shows them: the name and, for a known family, its
// channel count in the current language ("QMT4 (4 Kanäle)").
ChoiceList describedChargers(const ChoiceList& chargers,
                             const std::function<QString(const QString&)>& text);
// Position of the entry yielding value, or -1.
int indexOfValue(const ChoiceList& choices, const QString& value);

// A port choice can be confirmed when a port is chosen and its device path is not empty.
bool isPortChoiceComplete(int port, const QStringList& devicePaths);
// Writes ComPort and every non-empty device path that differs from the stored one.
void storePortChoice(SettingsStore& settings, int port, const QStringList& devicePaths);

enum class ChangeAnswer {
    Unchanged, // the chosen value is the current one: nothing asked
    Cancelled, // Cancel on the warning
    Declined,  // No on the quit question
    Confirmed  // Yes on the quit question
};
// Warning box (warningKey, OK/Cancel), then the quit question "1090" (Yes/No),
// both titled "0410", through the session's prompter; nothing is asked when
// chosen equals current.
ChangeAnswer askChange(Session& session, const QString& current, const QString& chosen,
                       const QString& warningKey);
// askChange against the setting's value; on Confirmed writes chosen to it and returns
// true (the caller then ends the program).
bool changeSettingAndQuit(Session& session, const QString& settingKey, const QString& chosen,
                          const QString& warningKey);

} // namespace velmara
