#include "charts/core/plotdata.h"

#include "charts/core/thinning.h"

#include <algorithm>

namespace velmara {

namespace {

qint32 valueOf(const SeriesSample& s, Curve c) {
    switch (c) {
    case Curve::Voltage:
        return s.millivolt;
    case Curve::Current:
        return s.milliampere;
    case Curve::Capacity:
        return s.milliampereHours;
    }
    return 0;
}

void reserveAll(PlotData& plot, qsizetype n) {
    for (CurvePoints& c : plot.curves) {
        c.x.reserve(n);
        c.y.reserve(n);
    }
}

void append(CurvePoints& curve, const SeriesSample& s, Curve c) {
    curve.x.append(minutesOf(s.seconds));
    curve.y.append(double(valueOf(s, c)) / 1000.0);
}

} // namespace

PlotData thinnedPlot(std::span<const SeriesSample> values, qint64 k) {
    PlotData plot;
    if (values.empty())
        return plot;
    if (k < 1)
        k = 1;
    const qint64 count = plottedPointCount(qint64(values.size()), k);
    reserveAll(plot, count);
    const SeriesSample& first = values.front();
    plot.minMax.seed(first.millivolt, first.milliampere, first.milliampereHours);
    for (qint64 i = 0; i < count; ++i) {
        const SeriesSample& s = values[size_t(i * k)];
        plot.minMax.checkCapacity(s.milliampereHours);
        plot.minMax.checkCurrent(s.milliampere);
        plot.minMax.checkVoltage(s.millivolt);
        for (Curve c : kCurves)
            append(plot.curves[size_t(c)], s, c);
    }
    return plot;
}

PlotData visibleStretch(std::span<const SeriesSample> values, double fromMinutes, double toMinutes,
                        int maxPoints) {
    PlotData plot;
    if (values.empty() || !(fromMinutes <= toMinutes))
        return plot;
    // The times normally rise with the rows; a clock step back at recording time may
    // break that, so the stretch is found by a scan rather than a binary search.
    const size_t n = values.size();
    size_t firstIn = n, lastIn = 0;
    for (size_t i = 0; i < n; ++i) {
        const double m = minutesOf(values[i].seconds);
        if (m >= fromMinutes && m <= toMinutes) {
            firstIn = std::min(firstIn, i);
            lastIn = i;
        }
    }
    size_t begin, end; // [begin, end)
    if (firstIn == n) {
        // Nothing inside: the two values around the window, so a line still crosses it.
        size_t after = 0;
        while (after < n && minutesOf(values[after].seconds) < fromMinutes)
            ++after;
        begin = after == 0 ? 0 : after - 1;
        end = std::min(n, after + 1);
    } else {
        begin = firstIn == 0 ? 0 : firstIn - 1;
        end = std::min(n, lastIn + 2);
    }
    const size_t count = end - begin;
    const SeriesSample& seed = values[begin];
    plot.minMax.seed(seed.millivolt, seed.milliampere, seed.milliampereHours);
    const size_t budget = size_t(std::max(maxPoints, 4));
    if (count <= budget) {
        reserveAll(plot, qsizetype(count));
        for (size_t i = begin; i < end; ++i) {
            const SeriesSample& s = values[i];
            plot.minMax.checkCapacity(s.milliampereHours);
            plot.minMax.checkCurrent(s.milliampere);
            plot.minMax.checkVoltage(s.millivolt);
            for (Curve c : kCurves)
                append(plot.curves[size_t(c)], s, c);
        }
        return plot;
    }
    // Buckets of equal row counts, two points (lowest, highest) each.
    const size_t buckets = budget / 2;
    reserveAll(plot, qsizetype(buckets * 2));
    for (Curve c : kCurves) {
        CurvePoints& curve = plot.curves[size_t(c)];
        for (size_t b = 0; b < buckets; ++b) {
            const size_t from = begin + count * b / buckets;
            const size_t to = begin + count * (b + 1) / buckets;
            if (from >= to)
                continue;
            size_t lo = from, hi = from;
            for (size_t i = from + 1; i < to; ++i) {
                const qint32 v = valueOf(values[i], c);
                if (v < valueOf(values[lo], c))
                    lo = i;
                if (v > valueOf(values[hi], c))
                    hi = i;
            }
            append(curve, values[std::min(lo, hi)], c);
            if (lo != hi)
                append(curve, values[std::max(lo, hi)], c);
        }
    }
    for (size_t i = begin; i < end; ++i) {
        const SeriesSample& s = values[i];
        plot.minMax.checkCapacity(s.milliampereHours);
        plot.minMax.checkCurrent(s.milliampere);
        plot.minMax.checkVoltage(s.millivolt);
    }
    return plot;
}

} // namespace velmara
