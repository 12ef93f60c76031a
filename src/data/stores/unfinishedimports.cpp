#include "data/stores/unfinishedimports.h"

#include "storage/database.h"

namespace velmara {

int removeUnfinishedImports(Database& user, qint32 seriesId, QString* error) {
    const QString which =
        seriesId < 0 ? QStringLiteral("1 = 1") : QStringLiteral("MessReiheID = ?");
    const QVariantList params = seriesId < 0 ? QVariantList() : QVariantList{seriesId};
    const QString listed = QStringLiteral("(SELECT MessReiheID FROM ImportMessReihen WHERE ") +
                           which + QStringLiteral(")");
    // Counted first: a file without unfinished imports is not written (nor
    // need it be writable).
    const QVariant count =
        user.scalar(QStringLiteral("SELECT COUNT(*) FROM ImportMessReihen WHERE ") + which, params);
    const int removed = count.toInt();
    if (removed == 0 && count.isValid())
        return 0;
    // The values first (a file without the series' delete rule keeps none
    // behind), the batteries while the list still names them.
    const bool ok = count.isValid() && user.transaction([&] {
        return user.execute(QStringLiteral("DELETE FROM MessWerte WHERE MessReiheID IN ") + listed,
                            params) &&
               user.execute(QStringLiteral("DELETE FROM Akkus WHERE AkkuId IN (SELECT NeuerAkku "
                                           "FROM ImportMessReihen WHERE NeuerAkku IS NOT NULL "
                                           "AND ") +
                                which + QStringLiteral(")"),
                            params) &&
               user.execute(QStringLiteral("DELETE FROM MessReihen WHERE MessReiheID IN ") + listed,
                            params) &&
               user.execute(QStringLiteral("DELETE FROM ImportMessReihen WHERE ") + which, params);
    });
    if (!ok) {
        if (error)
            *error = user.lastError();
        return -1;
    }
    return removed;
}

} // namespace velmara
