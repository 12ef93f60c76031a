#pragma once
// The recording of one channel: every reading of a charging or discharging
// channel goes to its temporary series (always on); while a battery's series is
// recorded, also to that series. End values go with them. The poll cycle hands
// the readings over; the recorder decides what becomes a row.
#include "base/core/errorlog.h"
#include "channel/core/channeldisplay.h"
#include "channel/core/recordingmark.h"
#include "channel/core/valuewriter.h"
#include "link/endvaluerecord.h"
#include "link/programrecord.h"
#include "link/statusrecord.h"

#ifndef Q_MOC_RUN
#include <QCoro/QCoroTask>
#endif
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace velmara {

class Session;

class ChannelRecorder {
public:
    using Clock = std::function<QDateTime()>;
    // Asks the charger for the program the channel runs (its answer text).
    using ProgramRequest = std::function<QCoro::Task<QString>()>;

    // The values go to the session's user file, through its shared record sets.
    ChannelRecorder(Session& session, QString code, ChannelHost& host, ChannelDisplay& display,
                    Clock clock, ProgramRequest requestProgram);
    ~ChannelRecorder();
    ChannelRecorder(const ChannelRecorder&) = delete;
    ChannelRecorder& operator=(const ChannelRecorder&) = delete;

    // --- the temporary series ---
    // A reading of a charging or discharging channel; others are not stored.
    void writeTempValue(const StatusRecord& status);
    // refreshLists runs when a value that waited in memory reaches the file
    // (its list line learns the row's key).
    void writeEndValueToTemp(const std::shared_ptr<EndValueRecord>& endValue,
                             std::function<void()> refreshLists);
    // The next value begins a new temporary series (only when the running one
    // holds a value, or force: the channel starts anew).
    void startNewTempSeries(bool force = false);

    // --- the recording of a battery's series ---
    // A reading while recording: the status, or the last end value of the list
    // after an end-value answer. The program goes with the first one.
    QCoro::Task<> writeValue(const StatusRecord& status, const EndValueList& endValues);
    // Starts (or queues, for the next process) the recording into series of battery.
    // withTemp: the values of the temporary series so far are taken over.
    QCoro::Task<> start(qint32 battery, qint32 series, bool queued, bool withTemp,
                        bool endValuesAvailable, bool measurementRunning);
    // A new process begins: a queued recording starts.
    void startQueued();
    void stop();
    void end();
    void dropQueued();
    // Continues the series of a mark (the charger still runs its process): the
    // values go on with the seconds counted from the mark's start.
    void resume(const RecordingMark& mark);
    // The series this channel recorded when the program last ended (nothing
    // when the recording had ended normally), and forgetting it.
    std::optional<RecordingMark> storedMark() const;
    // always: also a mark this run did not write (one from before the start).
    void forgetStoredMark(bool always = false);
    // The time of the value texts.
    QDateTime currentTime() const { return now(); }
    bool releaseBattery(qint32 batteryId);
    bool isBatteryUsed(qint32 batteryId) const;
    // Stores the program the channel runs (asked from the charger) with the series.
    QCoro::Task<bool> writeProgramToSeries(qint32 batteryId, qint32 seriesId);
    // Forgets battery and series (the window is created).
    void reset();

    // --- values the file did not take ---
    void retryWaitingValues();
    int valuesWaiting() const { return int(m_writer.waiting()); }

    bool isRecording() const { return m_recording; }
    bool isQueued() const { return m_queued; }
    bool isProgramWritten() const { return m_programWritten; }
    qint32 batteryId() const { return m_batteryId; }
    qint32 seriesId() const { return m_seriesId; }
    qint32 tempSeriesId() const { return m_tempSeriesId; }
    qint32 previousTempSeriesId() const { return m_previousTempSeriesId; }
    bool tempSeriesUsed() const { return m_tempSeriesUsed; }
    const QDateTime& tempSeriesStart() const { return m_tempSeriesStart; }
    const QDateTime& recordingStart() const { return m_recordingStart; }

    // The name of the device mode of a program (empty when unknown).
    QString modeTextOf(const ProgramRecord& program) const;

    // The mark of values that wait for the server, as the shipper counts them now.
    void reportServerWaiting();

private:
    void write(ValueWriter::Table table, qint32 seriesId, bool endValue, const QString& text,
               ValueWriter::StoredCallback onStored = {});
    void reportWaitingValues();
    QDateTime now() const;
    int channelNumber() const { return m_code.toInt(); }
    // The running recording is kept on disk until it ends normally.
    void storeMark();

    Session& m_session;
    QString m_code;
    ChannelHost& m_host;
    ChannelDisplay& m_display;
    Clock m_clock;
    ProgramRequest m_requestProgram;

    bool m_recording = false;
    bool m_queued = false;
    bool m_programWritten = false;
    qint32 m_batteryId = -1;
    qint32 m_seriesId = -1;
    qint32 m_tempSeriesId = -1;
    qint32 m_previousTempSeriesId = -1;
    bool m_tempSeriesUsed = false;
    QDateTime m_tempSeriesStart;
    QDateTime m_recordingStart;
    QString m_seriesProgram; // the program text last stored with the series
    bool m_markStored = false;
    ValueWriter m_writer;
    int m_reportedServerWaiting = 0;
    int m_reportedWaiting = 0;
    // Values the file refused go into the log once when they begin to wait and
    // once when the last is written (not once per value onto a full disk).
    LogEpisode m_refusedValues;
    quint64 m_droppedBefore = 0; // values lost before the episode going on
    // Checked after every await: false once the recorder is gone.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace velmara
