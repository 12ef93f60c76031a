#pragma once
// What a channel shows at one moment, as plain values: the last reading with
// its units, the state and fault, the recording, the values that wait for the
// file and the end values. The board hands one out whenever it changes.
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

namespace velmara {

// One end value the charger kept after a charge or a discharge.
struct ChannelEndValue {
    qint32 capacityMah = 0;
    qint32 cycleSeconds = 0;
    qint32 voltageMv = 0;
    qint32 selfDischargeMah = -1; // -1: none
    bool hasBatteryCondition = false;
    bool batteryGood = false;
    qint16 percent = 0;
    qint32 storedId = 0; // its row in the temporary series; 0 while not on disk
    bool operator==(const ChannelEndValue&) const = default;
};

struct ChannelSnapshot {
    QString channelCode; // "001" .. "004"

    // The last reading: the kind of answer (StatusRecord::answerType), the
    // charger's state and fault codes and the live values.
    qint16 answerType = 0;
    qint16 stateCode = 0;
    qint16 faultCode = 0;
    qint32 currentMa = 0;
    qint32 voltageMv = 0;
    qint32 capacityMah = 0;
    // How many answers the channel has read, and when it read the last
    // (invalid before the first).
    int readings = 0;
    QDateTime readAt;
    // The window shows the live values; stale: frozen by a fault.
    bool valuesShown = false;
    bool valuesStale = false;
    // The state as the window names it, and whether it is drawn as a fault.
    QString stateText;
    bool fault = false;

    // The recording of a battery's series (ids -1 while the channel has none).
    bool recording = false;
    bool recordingQueued = false;
    qint32 batteryId = -1;
    qint32 seriesId = -1;
    // The temporary series the readings go to.
    qint32 tempSeriesId = -1;
    bool tempSeriesUsed = false;
    QDateTime tempSeriesStart;

    // Values taken but not on disk, and why the file refused the last one.
    int valuesWaiting = 0;
    QString waitingReason;

    QList<ChannelEndValue> afterCharge;
    QList<ChannelEndValue> afterDischarge;

    bool operator==(const ChannelSnapshot&) const = default;
};

} // namespace velmara

Q_DECLARE_METATYPE(velmara::ChannelSnapshot)
