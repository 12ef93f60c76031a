#include "batteries/core/referencetexts.h"

#include "data/databases.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara {

ReferenceTexts loadReferenceTexts(Database& master, const QString& usedCharger,
                                  const QString& language) {
    ReferenceTexts texts;
    auto types = master.openRecordset(akkutypenQuery(usedCharger, language));
    if (types->isValid())
        for (types->moveFirst(); !types->isEOF(); types->moveNext())
            texts.batteryTypes.insert(types->value(QStringLiteral("Nr")).toInt(),
                                      types->text(QStringLiteral("ResourceText")));
    auto modes = master.openRecordset(geraeteModiQuery(language));
    if (modes->isValid())
        for (modes->moveFirst(); !modes->isEOF(); modes->moveNext())
            texts.modes.insert(modes->text(QStringLiteral("ModusNr")).trimmed(),
                               modes->text(QStringLiteral("ResourceText")));
    auto names = master.openRecordset(
        QStringLiteral("SELECT GeraeteModi.ModusNr, NLSResources.ResourceText FROM GeraeteModi, "
                       "NLSResources WHERE GeraeteModi.SprachId = NLSResources.ResourceID"));
    if (names->isValid())
        for (names->moveFirst(); !names->isEOF(); names->moveNext())
            texts.modeNames.insert(names->text(QStringLiteral("ResourceText")).trimmed(),
                                   names->text(QStringLiteral("ModusNr")).trimmed());
    return texts;
}

QString ReferenceTexts::modeName(const QString& stored) const {
    const auto number = modeNames.constFind(stored.trimmed());
    if (number == modeNames.constEnd())
        return stored;
    return modes.value(*number, stored);
}

} // namespace velmara
