#pragma once
// The points the diagram draws: X in minutes, Y in volts, amperes and
// ampere-hours, one column pair per curve.
#include "charts/core/axisrules.h"
#include "charts/core/minmaxvalues.h"
#include "charts/core/seriesreader.h"

#include <QVector>

#include <span>

namespace velmara {

struct CurvePoints {
    QVector<double> x; // minutes (seconds / 60, not rounded)
    QVector<double> y;
};

struct PlotData {
    CurvePoints curves[3]; // by Curve index
    // Minima and maxima of the plotted points only.
    MinMaxValues minMax;

    const CurvePoints& curve(Curve c) const { return curves[size_t(c)]; }
};

// Plots the values 1, 1 + k, 1 + 2k, ... (plottedPointCount of them). The minima and
// maxima are seeded from the first value and cover the plotted values only.
PlotData thinnedPlot(std::span<const SeriesSample> values, qint64 k);

// Minutes of a value's time.
inline double minutesOf(qint32 seconds) {
    return double(seconds) / 60.0;
}

// The values whose time lies within [fromMinutes, toMinutes], plus one neighbour on
// each side so lines run to the edges. Up to maxPoints per curve every value is
// kept; beyond that the stretch is cut into buckets and each bucket gives its
// lowest and highest value in time order, so no peak of any stored value is lost.
PlotData visibleStretch(std::span<const SeriesSample> values, double fromMinutes, double toMinutes,
                        int maxPoints);

} // namespace velmara
