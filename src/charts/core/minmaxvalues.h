#pragma once
// Running minima and maxima of the plotted points, in stored units (mV, mA, mAh).
// There is no empty state: seed() with the first point before the first check.
#include <QtGlobal>

namespace velmara {

struct MinMaxValues {
    qint32 minVoltage = 0;
    qint32 maxVoltage = 0;
    qint32 minCurrent = 0;
    qint32 maxCurrent = 0;
    qint32 minCapacity = 0;
    qint32 maxCapacity = 0;

    void seed(qint32 millivolt, qint32 milliampere, qint32 milliampereHours) {
        minVoltage = maxVoltage = millivolt;
        minCurrent = maxCurrent = milliampere;
        minCapacity = maxCapacity = milliampereHours;
    }
    void checkVoltage(qint32 measuredValue) { check(measuredValue, minVoltage, maxVoltage); }
    void checkCurrent(qint32 measuredValue) { check(measuredValue, minCurrent, maxCurrent); }
    void checkCapacity(qint32 measuredValue) {
        check(measuredValue, minCapacity, maxCapacity);
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
