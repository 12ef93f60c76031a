#pragma once
// One stored measured value decoded from its text (MessWertString).
#include <QtGlobal>

namespace velmara {

class LoadedMeasurementValue {
public:
    // False when the stored text was damaged (too few fields for its kind, or a
    // field that is no whole number); callers skip such a value.
    bool bValid = true;

    bool bEndwert = false;
    qint16 iEndwertTyp = 0;
    qint32 lKapazitaet = 0; // mAh
    qint32 lSpannung = 0;   // mV
    qint32 lLadestrom = 0;  // mA
    qint32 lTimeDiff = 0;   // seconds after the series' reference time
    qint32 lZykluszeit = 0; // duration of the phase of an end value
    bool bWithAkkuzustand = false;
    bool bAkkuzustand = false;
    qint16 iProzent = 0;
    bool bWithSelbstentladung = false;
    qint32 lSelbstentladung = 0;
};

} // namespace velmara
