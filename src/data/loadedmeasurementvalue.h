#pragma once
// One stored measured value decoded from its text (MessWertString).
#include <QtGlobal>

namespace velmara {

class LoadedMeasurementValue {
public:
    // False when the stored text was damaged (too few fields for its kind, or a
    // field that is no whole number); callers skip such a value.
    bool bValid = true;

    bool isEndValue = false;
    qint16 endValueType = 0;
    qint32 capacityMah = 0;     // mAh
    qint32 voltageMv = 0;       // mV
    qint32 chargeCurrentMa = 0; // mA
    qint32 elapsedSeconds = 0;  // seconds after the series' reference time
    qint32 cycleSeconds = 0;    // duration of the phase of an end value
    bool hasBatteryCondition = false;
    bool batteryCondition = false;
    qint16 percent = 0;
    bool hasSelfDischarge = false;
    qint32 selfDischarge = 0;
};

} // namespace velmara
