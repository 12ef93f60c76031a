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
    return texts;
}

} // namespace velmara
