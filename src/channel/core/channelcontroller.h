#pragma once
// The life of one charger channel behind its window: the poll tick, the state
// display and the end-value lists; every reading goes on to the channel's
// recorder. One class for all four channels; channel "001" probes a missing
// charger for all.
#include "channel/core/channeldisplay.h"
#include "channel/core/channelrecorder.h"
#include "link/endvaluerecord.h"
#include "link/programrecord.h"
#include "link/statusrecord.h"

#ifndef Q_MOC_RUN
#include <QCoro/QCoroTask>
#endif
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

namespace velmara {

class ChargerLink;
class Recordset;
class Session;

class ChannelController : public QObject {
    Q_OBJECT
public:
    static constexpr int NormalInterval = 3000;  // ms
    static constexpr int SilentInterval = 14000; // channel 1, charger missing
    static constexpr int OtherSilentInterval = 6000;
    static constexpr int FlashInterval = 1000;
    static constexpr int SilentProbesBeforeChargerMissing = 3;

    using Clock = std::function<QDateTime()>;

    // code: "001" .. "004". The link may be null (no charger line: every request
    // goes unanswered). clock: the time of the value texts (default: now).
    // The session gives the texts, the settings and the files the values go to.
    ChannelController(Session& session, ChannelCode code, ChargerLink* link, ChannelHost& host,
                      ChannelDisplay& display, Clock clock = {}, QObject* parent = nullptr);
    ~ChannelController() override;

    // Creation of the window: state reset, boxes hidden; starts initChannel
    // without waiting for the charger's answers. Starts the poll timer when
    // startTimer is true (tests drive tick() themselves).
    void load(bool startTimer = true);

    ChannelCode channelCode() const { return m_code; }
    ChargerLink* link() const;
    bool isFirstChannel() const { return m_first; }

    // --- poll cycle ---
    // The steps that talk to the charger are awaited; each waits for the
    // channel's turn (see ChannelHost::channelTurn) and runs its requests in
    // order. A channel that is destroyed meanwhile is left alone.
    QCoro::Task<> initChannel();
    // A tick that still runs (or waits for its turn) is not started again.
    QCoro::Task<> tick();
    // A step of this channel runs or waits for its turn.
    bool isBusy() const { return m_stepsActive > 0; }
    void showStatus(StatusRecord& status);
    void showProgram(const ProgramRecord& program);
    void showEndValueLists();
    void setFlashing(bool on);
    void flashingTick();
    void onProgramAnswer(std::shared_ptr<ProgramRecord> program);
    void onEndValueAnswer(std::shared_ptr<EndValueList> endValues);

    // --- recording (stored by the recorder; started and ended in the channel's turn) ---
    QCoro::Task<> resetForNewProgram();
    void resetForNewRun();
    void endRecording();
    QCoro::Task<> startRecording(qint32 lakku, qint32 lmess, bool queued, bool withTemp);
    void setValuesFrameHeading(const QString& batteryName = QString(),
                               const QString& seriesName = QString(),
                               const QString& seriesNumber = QString());
    ChannelRecorder& recorder() { return m_recorder; }
    bool releaseBattery(qint32 batteryId);
    bool isBatteryUsed(qint32 batteryId) const { return m_recorder.isBatteryUsed(batteryId); }
    QString modeTextOf(const ProgramRecord& program) const {
        return m_recorder.modeTextOf(program);
    }
    // "0818" - "0820": the heading without a recording.
    QString headingWithoutRecording() const;

    // --- the run and its recording, as the capture dialog and the main window see them ---
    bool isRecording() const { return m_recorder.isRecording(); }
    bool isRecordingQueued() const { return m_recorder.isQueued(); }
    bool isProgramWritten() const { return m_recorder.isProgramWritten(); }
    bool endValuesAvailable() const { return m_endValuesAvailable; }
    bool measurementRunning() const { return m_measurementRunning; }
    qint32 batteryId() const { return m_recorder.batteryId(); }
    qint32 seriesId() const { return m_recorder.seriesId(); }
    // Values are no longer stored in the series (which stays the channel's).
    void stopRecording();
    // The recording that waited for the next process will not start: the
    // channel forgets its series.
    void dropQueuedRecording();

    // The program editor opened from this channel: while it is open, programs
    // the charger reports go to it (programChangedFromOutside).
    void beginProgramDialog() { m_programDialogOpen = true; }
    void endProgramDialog() { m_programDialogOpen = false; }
    bool isProgramDialogOpen() const { return m_programDialogOpen; }
    // One diagram opening at a time: false while one is under way.
    bool tryBeginDiagram();
    void endDiagram() { m_diagramBusy = false; }
    bool isDiagramBusy() const { return m_diagramBusy; }

    // The program editor hears of a program that changed on the channel.
    std::function<void(const ProgramRecord&)> programChangedFromOutside;

    // --- read-only views for the window and for tests ---
    qint32 tempSeriesId() const { return m_recorder.tempSeriesId(); }
    qint32 previousTempSeriesId() const { return m_recorder.previousTempSeriesId(); }
    bool tempSeriesUsed() const { return m_recorder.tempSeriesUsed(); }
    const QDateTime& tempSeriesStart() const { return m_recorder.tempSeriesStart(); }
    const QDateTime& recordingStart() const { return m_recorder.recordingStart(); }
    bool headingResetPending() const { return m_headingResetPending; }
    int noAnswerCount() const { return m_noAnswerCount; }
    // The next tick asks for the program before the status (a new run has
    // begun, or the program is not known).
    bool asksProgramFirst() const;
    // Values taken but not yet on disk (the file did not take them).
    int valuesWaiting() const { return m_recorder.valuesWaiting(); }
    const StatusRecord& status() const { return *m_status; }
    const ProgramRecord& program() const { return *m_program; }
    const EndValueList& endValues() const { return *m_endValues; }
    int pollInterval() const { return m_pollTimer.interval(); }
    bool isPolling() const { return m_pollTimer.isActive(); }
    bool isFlashing() const { return m_flashingTimer.isActive(); }

Q_SIGNALS:
    // A step of the channel (tick, start, recording start) has ended, or the
    // recording changed outside one (stopped, ended, dropped, its battery
    // released): what the channel shows is whole again.
    void changed();

private:
    void newStatusRecord();
    void showState(const QString& key, bool fault = false);
    void clearLiveValues();
    void showNoAnswer();
    void showLiveValues(const StatusRecord& status);
    void showBatteryState(ChargerFault flag);
    Message faultBox(const char* key, const char* secondKey) const;
    QString channelCaption() const;
    void setPollInterval(int ms);
    class Step;
    QCoro::Task<> runInit();
    QCoro::Task<> runTick();
    QString ownAnswer(const QString& answer) const;
    static qint32 storedIdOf(const EndValueList& list, const EndValueRecord& endwert);
    using LinkRequest = QCoro::Task<QString> (ChargerLink::*)(ChannelCode);
    QCoro::Task<QString> request(LinkRequest ask);
    QCoro::Task<QString> requestStatus();
    QCoro::Task<QString> requestEndValues();
    QCoro::Task<QString> requestProgram();
    QCoro::Task<> readProgram();
    QCoro::Task<> offerResume();
    QCoro::Task<> readEndValues(bool emptyFirst);
    void writeEndValueToTemp(const std::shared_ptr<EndValueRecord>& endValue);

    Session& m_session;
    ChannelCode m_code;
    bool m_first;
    QPointer<ChargerLink> m_link;
    ChannelHost& m_host;
    ChannelDisplay& m_display;
    ChannelRecorder m_recorder;

    std::unique_ptr<StatusRecord> m_status;
    std::shared_ptr<ProgramRecord> m_program;
    std::shared_ptr<EndValueList> m_endValues;

    QTimer m_pollTimer;
    QTimer m_flashingTimer;
    bool m_lit = false; // the heartbeat's flash

    bool m_endValuesAvailable = false;
    bool m_measurementRunning = false;
    bool m_programDialogOpen = false;
    bool m_diagramBusy = false;
    int m_noAnswerCount = 0;
    // A new run has begun: the program is read again on the next tick.
    bool m_programUnknown = false;
    bool m_headingResetPending = false;
    // The program text of the last program answer, and whether the first
    // state after the start has been compared with the series recorded then.
    QString m_programAnswer;
    bool m_resumeChecked = false;
    // Checked after every await: false once the controller is gone.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    std::shared_ptr<TurnQueue> m_turn;
    bool m_tickActive = false;
    int m_stepsActive = 0;
};

} // namespace velmara
