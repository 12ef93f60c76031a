#pragma once
// Running minima and maxima of the plotted points, in stored units (mV, mA, mAh).
// There is no empty state: seed() with the first point before the first check.
#include <QtGlobal>

namespace velmara {

struct MinMaxValues {
    qint32 MinSpannung = 0;
    qint32 MaxSpannung = 0;
    qint32 MinStrom = 0;
    qint32 MaxStrom = 0;
    qint32 MinKapazitaet = 0;
    qint32 MaxKapazitaet = 0;

    void seed(qint32 millivolt, qint32 milliampere, qint32 milliampereHours) {
        MinSpannung = MaxSpannung = millivolt;
        MinStrom = MaxStrom = milliampere;
        MinKapazitaet = MaxKapazitaet = milliampereHours;
    }
    void checkMinMaxSpannung(qint32 measuredValue) { check(measuredValue, MinSpannung, MaxSpannung); }
    void checkMinMaxStrom(qint32 measuredValue) { check(measuredValue, MinStrom, MaxStrom); }
    void checkMinMaxKapazitaet(qint32 measuredValue) {
        check(measuredValue, MinKapazitaet, MaxKapazitaet);
    }

    bool operator==(const MinMaxValues&) const = default;

private:
    static void check(qint32 value, qint32& min, qint32& max) {
        if (value > max)
            max = value;
        if (value < min)
            min = value;
    }
};

} // namespace velmara
