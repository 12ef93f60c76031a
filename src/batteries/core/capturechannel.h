#pragma once
// What the capture dialog needs from a channel and from the set of channels.
// The channel window and the main window adapt to these; tests use fakes.
#include <QString>

#include <functional>

namespace velmara {

class BatteryLeases;

// One charger channel as the capture dialog sees it.
class CaptureChannel {
public:
    virtual ~CaptureChannel() = default;
    // "001" .. "004".
    virtual QString channelCode() const = 0;
    virtual bool isRecording() const = 0;        // values are stored permanently
    virtual bool isQueued() const = 0;           // a recording waits for the next process
    virtual bool measurementRunning() const = 0; // the channel is in a measuring state
    virtual bool endValuesAvailable() const = 0; // end values arrived since the program started
    virtual qint32 batteryId() const = 0;        // -1: none
    virtual qint32 seriesId() const = 0;         // -1: none

    // Values are no longer stored; the series stays the channel's.
    virtual void stopRecording() = 0;
    // The queued recording will not start: no longer queued, no series.
    virtual void dropQueuedRecording() = 0;
    // The channel no longer holds a battery.
    virtual void forgetBattery() = 0;

    virtual void startRecording(qint32 batteryId, qint32 seriesId, bool queued, bool withTemp) = 0;
    virtual void endRecording() = 0;
    // The heading of the measured-values frame; an empty name gives the heading
    // without a recording and an empty remark box.
    virtual void setHeading(const QString& batteryName = QString(),
                            const QString& seriesRemark = QString(),
                            const QString& seriesNumber = QString()) = 0;
};

// All channels of the charger.
class BatteryUsage {
public:
    virtual ~BatteryUsage() = default;
    // The first channel (1..4) that records the battery or has it queued; 0 when none.
    virtual int channelUsing(qint32 batteryId) = 0;
    // Makes every channel forget the battery.
    virtual void releaseBattery(qint32 batteryId) = 0;
    // With the user data on a server: the name of another station that
    // records the battery ("" when none does).
    virtual QString stationUsing(qint32) { return {}; }
    // Takes the battery for a recording on this station: false when another
    // station records it (its name in *station).
    virtual bool takeBattery(qint32, QString* station) {
        (void)station;
        return true;
    }
};

// A channel set reached through two calls of the main window: isUsed answers
// "001".."004" or "notUsed" (any other text counts as not used); release makes
// the channels forget a battery.
class CallbackBatteryUsage : public BatteryUsage {
public:
    // leases: the other stations' recordings (null: the user data is in the user file).
    CallbackBatteryUsage(std::function<QString(qint32)> isUsed, std::function<void(qint32)> release,
                         BatteryLeases* leases = nullptr)
        : m_isUsed(std::move(isUsed)), m_release(std::move(release)), m_leases(leases) {}
    int channelUsing(qint32 batteryId) override;
    void releaseBattery(qint32 batteryId) override {
        if (m_release)
            m_release(batteryId);
    }
    QString stationUsing(qint32 batteryId) override;
    bool takeBattery(qint32 batteryId, QString* station) override;

private:
    std::function<QString(qint32)> m_isUsed;
    std::function<void(qint32)> m_release;
    BatteryLeases* m_leases;
};

// The channel number in an answer of the main window's channel queries:
// "001".."004" -> 1..4; "notUsed", "noReset" or anything else -> 0.
int channelNumberOfAnswer(const QString& answer);

} // namespace velmara
