#pragma once
// The channel as the capture dialog sees it: its recording state and operations.
#include "batteries/core/capturechannel.h"
#include "channel/core/channelcontroller.h"

namespace velmara {

class ControllerCaptureChannel : public CaptureChannel {
public:
    explicit ControllerCaptureChannel(ChannelController& channel) : m_channel(channel) {}
    QString channelCode() const override { return m_channel.channelCode().text(); }
    bool isRecording() const override { return m_channel.isRecording(); }
    bool isQueued() const override { return m_channel.isRecordingQueued(); }
    bool measurementRunning() const override { return m_channel.measurementRunning(); }
    bool endValuesAvailable() const override { return m_channel.endValuesAvailable(); }
    qint32 batteryId() const override { return m_channel.batteryId(); }
    qint32 seriesId() const override { return m_channel.seriesId(); }
    void stopRecording() override { m_channel.stopRecording(); }
    void dropQueuedRecording() override { m_channel.dropQueuedRecording(); }
    void forgetBattery() override { m_channel.releaseBattery(m_channel.batteryId()); }
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
