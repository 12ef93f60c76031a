#pragma once
// The names of battery types and device modes in the current language, read
// once from the master file for the windows that show a stored program.
#include <QHash>
#include <QString>

namespace velmara {

class Database;

struct ReferenceTexts {
    QHash<int, QString> batteryTypes;  // Nr -> name
    QHash<QString, QString> modes;     // ModusNr as text -> name
    QHash<QString, QString> modeNames; // a mode's name in any language -> ModusNr

    // A series stores its mode as the name it had in the language of its
    // recording: the name in the current language when the mode is known, else
    // the stored text itself.
    QString modeName(const QString& stored) const;
};

// Reads the usable battery types of the charger family and all device modes in
// the language; empty tables when the file cannot be read.
ReferenceTexts loadReferenceTexts(Database& master, const QString& usedCharger,
                                  const QString& language);

} // namespace velmara
