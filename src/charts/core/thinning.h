#pragma once
// How many stored values are skipped between two plotted points, by the rows of
// the master file's DiagramPoints table (a series of up to Schwellwert values
// plots every xteWert-th value).
#include <QString>
#include <QVector>

namespace velmara {

class Database;

struct DiagramPointsRow {
    qint64 id = 0;
    qint64 schwellwert = 0; // a number of values
    qint64 xteWert = 1;     // plot every n-th value
};

// The rows of DiagramPoints in ID order. False with *error when they cannot be read.
bool loadDiagramPointsRows(Database& master, QVector<DiagramPointsRow>* rows,
                           QString* error = nullptr);

// The step K for n values: xteWert of the first row (in the given order) whose
// Schwellwert is at least n, else of the last row. A step below 1 counts as 1,
// and without rows every value is plotted.
qint64 plottingStep(const QVector<DiagramPointsRow>& rowsInIdOrder, qint64 n);

// n / k rounded to the nearest whole number, halves to the even neighbour; never
// more points than the rows 1, 1 + k, 1 + 2k, ... within n.
qint64 plottedPointCount(qint64 n, qint64 k);

} // namespace velmara
