#include "data/tempvalues.h"

#include "data/databases.h"
#include "data/session.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara {

bool deleteTempValues(Session& session) {
    Database* db = session.user();
    if (!db || !db->isOpen())
        return false;
    const bool ok = db->execute(QStringLiteral("DELETE * FROM TempMessWerte"));
    SharedRecordsets& s = session.recordsets();
    s.sqlTempMessWerte = QStringLiteral("SELECT * FROM TempMessWerte");
    s.tempMessWerte = db->openRecordset(s.sqlTempMessWerte);
    return ok && s.tempMessWerte && s.tempMessWerte->isValid();
}

bool moveTempSeries(Database& db, qint32 t, qint32 m) {
    const QString ts = QString::number(t);
    const QString ms = QString::number(m);
    const QString statements[] = {
        QStringLiteral("DELETE * FROM TempTempMesswerte"),
        QStringLiteral("INSERT INTO TempTempMessWerte SELECT * FROM TempMesswerte WHERE "
                       "MessreiheId=") +
            ts + QStringLiteral(" ORDER BY TempMesswerte.MessWertId ASC"),
        QStringLiteral("UPDATE TempTempMessWerte SET MessReiheID=") + ms +
            QStringLiteral(" WHERE MessReiheID=") + ts,
        QStringLiteral("INSERT INTO MessWerte ( MessReiheID, EW, MessWertString ) SELECT "
                       "TempTempMessWerte.MessReiheID, TempTempMessWerte.EW, "
                       "TempTempMessWerte.MessWertString FROM TempTempMessWerte WHERE "
                       "TempTempMessWerte.MessReiheID=") +
            ms + QStringLiteral(" ORDER BY TempTempMessWerte.MessWertId ASC"),
    };
    return db.transaction([&] {
        for (const QString& sql : statements)
            if (!db.execute(sql))
                return false;
        return true;
    });
}

} // namespace velmara
