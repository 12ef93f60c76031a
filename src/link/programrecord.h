#pragma once
// A charge program and the parse of its program string (as the charger returns
// it to a program request, or as the program library stores it).
#include "link/chargermodel.h"

#include <QString>

namespace velmara {

class ProgramRecord {
public:
    // Values of batteryType that are no battery type, and of the optional fields.
    static constexpr qint16 BadAnswer = -1;
    static constexpr qint16 NoAnswer = -2;
    static constexpr qint16 Absent = -3;       // percentValue, capacityMah, selfDischargeInterval
    static constexpr qint16 ChannelFault = -4; // the channel answered "SK" instead of a program

    // endOfCharge starts at the value given (the setting DefaultLadeende, read by the caller).
    explicit ProgramRecord(qint16 initialEndOfCharge = 0) : endOfCharge(initialEndOfCharge) {}

    // Parses a program string into the record; answer is replaced by its
    // trimmed form. fromCharger: the text came from the charger (ends with G [and R]
    // and the closing ","); false for a text from the program library.
    // Malformed texts end with batteryType = -1; fields not reached keep their values.
    void parse(QString& answer, bool fromCharger);

    ChannelCode channelCode; // none when the answer named no channel
    qint16 batteryType = 0;
    qint16 deviceMode = 0;
    qint16 cellCount = 0;
    qint16 percentValue = 0;
    qint16 formingCycles = 0;
    qint16 repeatCount = 0;
    qint32 capacityMah = 0;
    qint32 chargeCurrentMa = 0;
    qint32 dischargeCurrentMa = 0;
    qint32 chargeEndVoltageMv = 0;
    qint32 dischargeEndVoltageMv = 0;
    qint16 selfDischargeInterval = 0;
    qint16 selfDischargeIntervalUnit = 0; // 2 hours ("H"), 1 days ("D")
    bool extendedReceived = false;
    bool programmingLocked = false;
    bool withoutLoad = false;
    qint16 leadAcidMode = 0;
    qint16 lithiumIonMode = 0;
    qint16 endOfCharge = 0;
    qint16 chargeMode = 0;
    qint16 qMode = 0;
    qint16 uMode = 0;
    qint16 galNumber = 0;
    qint16 chargerType = 4;
};

} // namespace velmara
