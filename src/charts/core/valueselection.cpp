#include "charts/core/valueselection.h"

#include "data/valuestrings.h"
#include "storage/database.h"
#include "storage/sqlitevalue.h"

#include <sqlcipher/sqlite3.h>

namespace velmara {

QString valueTableName(bool temporary) {
    return temporary ? QStringLiteral("TempMessWerte") : QStringLiteral("MessWerte");
}

namespace {

// Runs a query with integer parameters that yields at most one integer. *found tells
// whether a row came back. False with *error on a failure.
bool queryOne(Database& db, const QString& sql, std::initializer_list<qint64> params, bool* found,
              qint64* value, QString* error) {
    storage::Statement stmt;
    QString failure;
    if (!stmt.prepare(db.handle(), sql, &failure)) {
        if (error)
            *error = failure;
        return false;
    }
    int at = 1;
    for (qint64 p : params)
        sqlite3_bind_int64(stmt.get(), at++, p);
    const int rc = stmt.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        if (error)
            *error = storage::engineError(db.handle());
        return false;
    }
    *found = rc == SQLITE_ROW;
    if (*found && value)
        *value = sqlite3_column_int64(stmt.get(), 0);
    return true;
}

// The nearest end value before `before` whose stored text decodes as an end value.
bool previousReadableEndValue(Database& db, const QString& table, qint64 series, qint64 before,
                              bool* found, qint64* id, QString* error) {
    storage::Statement stmt;
    QString failure;
    if (!stmt.prepare(db.handle(),
                      QStringLiteral("SELECT MessWertId, MessWertString FROM %1 WHERE "
                                     "MessReiheID = ?1 AND EW <> 0 AND MessWertId < ?2 "
                                     "ORDER BY MessWertId DESC")
                          .arg(table),
                      &failure)) {
        if (error)
            *error = failure;
        return false;
    }
    sqlite3_bind_int64(stmt.get(), 1, series);
    sqlite3_bind_int64(stmt.get(), 2, before);
    *found = false;
    int rc = SQLITE_ROW;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 1));
        const QString value = text ? QString::fromUtf8(text) : QString();
        if (parseValueString(value, true).bValid) {
            *found = true;
            *id = sqlite3_column_int64(stmt.get(), 0);
            return true;
        }
    }
    if (rc != SQLITE_DONE) {
        if (error)
            *error = storage::engineError(db.handle());
        return false;
    }
    return true;
}

} // namespace

bool selectValues(Database& user, const DiagramRequest& request, ValueSelection* selection,
                  QString* error) {
    *selection = ValueSelection();
    selection->tempCreated = request.tempCreated;
    selection->seriesId = request.seriesId;
    if (request.endValueId == 0)
        return true;
    const QString table = valueTableName(request.tempCreated);
    const qint64 series = request.seriesId;
    const qint64 end = request.endValueId;

    // The chosen end value, by its key.
    bool found = false;
    if (!queryOne(user,
                  QStringLiteral("SELECT MessWertId FROM %1 WHERE MessWertId = ?1 AND "
                                 "MessReiheID = ?2 AND EW <> 0")
                      .arg(table),
                  {end, series}, &found, nullptr, error))
        return false;
    if (!found) {
        // Shown whole; the flag tells a series without end values from a missing one.
        bool any = false;
        if (!queryOne(user,
                      QStringLiteral("SELECT MessWertId FROM %1 WHERE MessReiheID = ?1 AND "
                                     "EW <> 0 LIMIT 1")
                          .arg(table),
                      {series}, &any, nullptr, error))
            return false;
        selection->endValueMissing = any;
        return true;
    }
    // The end value before it bounds the stretch from below; searching backwards
    // from the chosen one reads one phase, not the whole series. An end value whose
    // text is damaged is not listed, so it does not bound a phase either.
    bool hasPrevious = false;
    qint64 previous = 0;
    if (!previousReadableEndValue(user, table, series, end, &hasPrevious, &previous, error))
        return false;
    if (hasPrevious)
        selection->afterId = previous;
    selection->beforeId = end;
    return true;
}

} // namespace velmara
