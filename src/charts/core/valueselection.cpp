#include "charts/core/valueselection.h"

#include "data/storage/database.h"
#include "data/storage/sqlitevalue.h"

#include <sqlcipher/sqlite3.h>

namespace velmara {

QString valueTableName(bool temporary) {
    return temporary ? QStringLiteral("TempMessWerte") : QStringLiteral("MessWerte");
}

bool selectValues(Database& user, const DiagramRequest& request, ValueSelection* selection,
                  QString* error) {
    *selection = ValueSelection();
    selection->bTempCreated = request.bTempCreated;
    selection->seriesId = request.lMessReiheId;
    if (request.lEndWertId == 0)
        return true;

    // The end values of the series in recording order: the one before the chosen one
    // bounds the stretch from below.
    storage::Statement stmt;
    QString failure;
    const QString sql = QStringLiteral("SELECT MessWertId FROM %1 WHERE MessReiheID = ?1 AND "
                                       "EW <> 0 ORDER BY MessWertId ASC")
                            .arg(valueTableName(request.bTempCreated));
    if (!stmt.prepare(user.handle(), sql, &failure) ||
        !stmt.bind({QVariant(request.lMessReiheId)}, &failure)) {
        if (error)
            *error = failure;
        return false;
    }
    bool anyEndValue = false, found = false;
    qint64 previous = 0;
    bool hasPrevious = false;
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        const qint64 id = sqlite3_column_int64(stmt.get(), 0);
        anyEndValue = true;
        if (id == request.lEndWertId) {
            found = true;
            break;
        }
        previous = id;
        hasPrevious = true;
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        if (error)
            *error = storage::engineError(user.handle());
        return false;
    }
    if (!anyEndValue)
        return true;
    if (!found) {
        selection->endValueMissing = true;
        return true;
    }
    if (hasPrevious)
        selection->afterId = previous;
    selection->beforeId = request.lEndWertId;
    return true;
}

} // namespace velmara
