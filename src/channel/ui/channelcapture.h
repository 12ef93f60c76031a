#pragma once
// The channel as the capture dialog sees it: its recording state and operations.
#include "batteries/core/capturechannel.h"
#include "channel/core/channelcontroller.h"

namespace velmara {

class ControllerCaptureChannel : public CaptureChannel {
public:
    explicit ControllerCaptureChannel(ChannelController& channel) : m_channel(channel) {}
    QString channelCode() const override { return m_channel.channelCode(); }
    bool isRecording() const override { return m_channel.recording; }
    bool isQueued() const override { return m_channel.recordingQueued; }
    bool measurementRunning() const override { return m_channel.measurementRunning; }
    bool endValuesAvailable() const override { return m_channel.endValuesAvailable; }
    qint32 batteryId() const override { return m_channel.batteryId; }
    qint32 seriesId() const override { return m_channel.seriesId; }
    void setRecording(bool recording) override { m_channel.recording = recording; }
    void setQueued(bool queued) override { m_channel.recordingQueued = queued; }
    void setBatteryId(qint32 id) override { m_channel.batteryId = id; }
    void setSeriesId(qint32 id) override { m_channel.seriesId = id; }
    void startRecording(qint32 battery, qint32 series, bool queued, bool withTemp) override {
        m_channel.startRecording(battery, series, queued, withTemp);
    }
    void endRecording() override { m_channel.endRecording(); }
    void setHeading(const QString& batteryName, const QString& seriesRemark,
                    const QString& seriesNumber) override {
        m_channel.setValuesFrameHeading(batteryName, seriesRemark, seriesNumber);
    }

private:
    ChannelController& m_channel;
};

} // namespace velmara
