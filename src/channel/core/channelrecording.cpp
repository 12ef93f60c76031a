// The recording operations of a channel that the capture dialog and the program
// editor start: they take the channel's turn, then leave the storing to the
// recorder.
#include "channel/core/channelcontroller.h"
#include "channel/core/channelstep.h"

#include "data/session.h"

namespace velmara {

void ChannelController::resetForNewRun() {
    m_endValues = std::make_shared<EndValueList>();
    m_display.setEndValueLines({}, {});
    m_endValuesAvailable = false;
    m_recorder.startQueued();
    m_display.setVisible(ChannelField::Selbstentladung, false);
    m_display.setVisible(ChannelField::Akkuzustand, false);
}

QCoro::Task<> ChannelController::resetForNewProgram() {
    const auto alive = m_alive;
    const auto turn = m_turn;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    const Step step(*this, turn, alive, granted);
    if (!step.runs())
        co_return;
    resetForNewRun();
    endRecording();
    co_await runInit();
}

void ChannelController::endRecording() {
    m_recorder.end();
    if (!m_first)
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
    Q_EMIT changed();
}

void ChannelController::stopRecording() {
    m_recorder.stop();
    Q_EMIT changed();
}

void ChannelController::dropQueuedRecording() {
    m_recorder.dropQueued();
    Q_EMIT changed();
}

bool ChannelController::releaseBattery(qint32 batteryId) {
    const bool released = m_recorder.releaseBattery(batteryId);
    if (released)
        Q_EMIT changed();
    return released;
}

QCoro::Task<> ChannelController::startRecording(qint32 batteryId, qint32 seriesId, bool queued,
                                                bool withTemp) {
    const auto alive = m_alive;
    const auto turn = m_turn;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    const Step step(*this, turn, alive, granted);
    if (!step.runs())
        co_return;
    co_await m_recorder.start(batteryId, seriesId, queued, withTemp, m_endValuesAvailable,
                              m_measurementRunning);
}

void ChannelController::setValuesFrameHeading(const QString& batteryName, const QString& seriesName,
                                              const QString& seriesNumber) {
    if (batteryName.trimmed().isEmpty()) {
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
        m_display.setText(ChannelField::Bemerkung, QString());
        return;
    }
    m_display.setText(ChannelField::MesswerteHeading, m_session.text(QStringLiteral("0818")) +
                                                          QStringLiteral(" - ") + batteryName +
                                                          QStringLiteral(" / ") + seriesNumber);
    m_display.setText(ChannelField::Bemerkung, seriesName);
}

} // namespace velmara
