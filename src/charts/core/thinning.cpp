#include "charts/core/thinning.h"

#include "storage/database.h"
#include "storage/recordset.h"

#include <algorithm>

namespace velmara {

bool loadDiagramPointsRows(Database& master, QVector<DiagramPointsRow>* rows, QString* error) {
    rows->clear();
    auto rs = master.openRecordset(QStringLiteral("SELECT * FROM DiagramPoints ORDER BY ID"));
    if (!rs->isValid()) {
        if (error)
            *error = rs->error();
        return false;
    }
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext()) {
        DiagramPointsRow row;
        row.id = rs->value(QStringLiteral("ID")).toLongLong();
        row.schwellwert = rs->value(QStringLiteral("Schwellwert")).toLongLong();
        row.xteWert = rs->value(QStringLiteral("xteWert")).toLongLong();
        rows->append(row);
    }
    return true;
}

qint64 plottingStep(const QVector<DiagramPointsRow>& rowsInIdOrder, qint64 n) {
    if (rowsInIdOrder.isEmpty())
        return 1;
    qint64 step = rowsInIdOrder.last().xteWert;
    for (const DiagramPointsRow& row : rowsInIdOrder) {
        if (row.schwellwert >= n) {
            step = row.xteWert;
            break;
        }
    }
    return step < 1 ? 1 : step;
}

qint64 plottedPointCount(qint64 n, qint64 k) {
    if (n <= 0)
        return 0;
    if (k < 1)
        k = 1;
    qint64 r = n / k;
    const qint64 rest = n % k;
    if (2 * rest > k || (2 * rest == k && (r % 2) == 1))
        ++r;
    const qint64 rowsWithin = (n - 1) / k + 1; // rows 1, 1 + k, ... up to n
    return std::min(r, rowsWithin);
}

} // namespace velmara
