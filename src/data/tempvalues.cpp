#include "data/tempvalues.h"

#include "data/databases.h"
#include "data/session.h"
#include "data/stores/valuestore.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara {

bool deleteTempValues(Session& session) {
    Database* db = session.user();
    if (!db || !db->isOpen())
        return false;
    const bool ok = session.stores().values().clearTemporary().ok();
    SharedRecordsets& s = session.recordsets();
    s.sqlTempMessWerte = QStringLiteral("SELECT * FROM TempMessWerte");
    s.tempMessWerte = db->openRecordset(s.sqlTempMessWerte);
    return ok && s.tempMessWerte && s.tempMessWerte->isValid();
}

} // namespace velmara
