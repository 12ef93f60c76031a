#include "channel/core/channelrecorder.h"

#include "data/databases.h"
#include "data/session.h"
#include "data/settingsstore.h"
#include "data/stores/batteryrecords.h"
#include "data/tempvalues.h"
#include "data/valueshipper.h"
#include "data/valuestrings.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara {

ChannelRecorder::ChannelRecorder(Session& session, QString code, ChannelHost& host,
                                 ChannelDisplay& display, Clock clock,
                                 ProgramRequest requestProgram)
    : m_session(session), m_code(std::move(code)), m_host(host), m_display(display),
      m_clock(std::move(clock)), m_requestProgram(std::move(requestProgram)),
      m_writer([&session]() -> ValueStore& { return session.recordingValues(); }),
      m_refusedValues(&session.log(), QStringLiteral("Values not stored")) {}

ChannelRecorder::~ChannelRecorder() {
    *m_alive = false;
    m_refusedValues.end(QStringLiteral("%1 values that waited are lost at the end of the program")
                            .arg(m_writer.waiting()));
}

QDateTime ChannelRecorder::now() const {
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

void ChannelRecorder::reset() {
    m_recording = m_queued = m_programWritten = false;
    m_seriesId = m_batteryId = -1;
    m_previousTempSeriesId = m_tempSeriesId = -1;
}

// Hands the value to the writer: on disk now, or kept in memory until the file
// takes writes again. The user hears of values that wait (once per episode).
void ChannelRecorder::write(ValueWriter::Table table, qint32 seriesId, bool endValue,
                            const QString& text, ValueWriter::StoredCallback onStored) {
    if (!m_writer.write(table, seriesId, endValue, text, std::move(onStored))) {
        if (!m_refusedValues.isGoing())
            m_droppedBefore = m_writer.dropped();
        m_refusedValues.occurred(
            QStringLiteral("channel %1: value %2 of series %3 waits in "
                           "memory: %4")
                .arg(m_code, text, QString::number(seriesId), m_writer.lastError()));
    }
    reportWaitingValues();
}

// Values that wait are written before anything new, as soon as the file takes
// them; a file that was write-protected at its opening is opened anew once it
// is writable.
void ChannelRecorder::retryWaitingValues() {
    if (m_writer.waiting() == 0)
        return;
    if (Database* db = m_session.user())
        db->reopenIfWritable();
    m_writer.flush();
    reportWaitingValues();
}

// Values of this channel's series that wait in the user file for the server:
// the window says how many while the file itself takes every value.
void ChannelRecorder::reportServerWaiting() {
    const ValueShipper* shipper = m_session.shipper();
    const int waiting = shipper && m_seriesId > 0 ? shipper->waitingFor(m_seriesId) : 0;
    if (waiting == m_reportedServerWaiting)
        return;
    m_reportedServerWaiting = waiting;
    if (m_reportedWaiting == 0)
        m_display.setStorageWarning(
            waiting == 0 ? QString() : m_session.text(QStringLiteral("4922")).arg(waiting));
}

void ChannelRecorder::reportWaitingValues() {
    const int waiting = int(m_writer.waiting());
    if (waiting == m_reportedWaiting) {
        reportServerWaiting();
        return;
    }
    m_reportedWaiting = waiting;
    if (waiting == 0)
        m_refusedValues.end(QStringLiteral("channel %1: every waiting value is written, %2 lost "
                                           "because the memory for waiting values was full")
                                .arg(m_code)
                                .arg(m_writer.dropped() - m_droppedBefore));
    m_display.setStorageWarning(waiting == 0 ? QString()
                                             : m_session.text(QStringLiteral("1124")).arg(waiting));
    m_reportedServerWaiting = 0;
    if (waiting == 0)
        reportServerWaiting();
    QString reason = m_writer.lastError();
    // A file that cannot be written is named, with its mode, so that the user can fix it.
    if (const Database* db = m_session.user(); db && waiting > 0)
        if (const QStringList blocked = Database::unwritableFiles(db->path()); !blocked.isEmpty())
            reason = QStringLiteral("cannot write %1").arg(blocked.join(QStringLiteral(", ")));
    m_host.setValuesWaiting(m_code, waiting, reason);
}

void ChannelRecorder::writeTempValue(const StatusRecord& status) {
    if (status.answerType != StatusRecord::Status ||
        (status.state() != ChargerState::Charging && status.state() != ChargerState::Discharging))
        return;
    const QDateTime t = now();
    if (!m_tempSeriesUsed)
        m_tempSeriesStart = t;
    m_tempSeriesUsed = true;
    write(ValueWriter::Table::Temporary, m_tempSeriesId, false,
          buildValueString(status, m_tempSeriesStart, t));
}

void ChannelRecorder::writeEndValueToTemp(const std::shared_ptr<EndValueRecord>& endValue,
                                          std::function<void()> refreshLists) {
    const QDateTime t = now();
    if (!m_tempSeriesUsed)
        m_tempSeriesStart = t;
    m_tempSeriesUsed = true;
    // The list line learns the row's key once the row is on disk; a line that
    // waited is refreshed then.
    auto written = std::make_shared<bool>(false);
    write(ValueWriter::Table::Temporary, m_tempSeriesId, true,
          buildEndValueString(*endValue, m_tempSeriesStart, t),
          [endValue, written, refresh = std::move(refreshLists)](qint32 id) {
              endValue->tempId = id;
              if (*written && refresh)
                  refresh();
          });
    *written = true;
}

void ChannelRecorder::startNewTempSeries(bool force) {
    if (force)
        m_tempSeriesUsed = true;
    if (!m_tempSeriesUsed)
        return;
    m_previousTempSeriesId = m_tempSeriesId;
    m_tempSeriesId = m_host.newTempSeriesId();
    m_tempSeriesUsed = false;
}

QCoro::Task<> ChannelRecorder::writeValue(const StatusRecord& status,
                                          const EndValueList& endValues) {
    const qint16 k = status.answerType;
    bool written = false; // a value was handed to the table
    if (k == StatusRecord::Status) {
        written = true;
        write(ValueWriter::Table::Permanent, m_seriesId, false,
              buildValueString(status, m_recordingStart, now()));
    } else if (k == StatusRecord::EndValues && !endValues.isEmpty()) {
        // An end-value answer that could not be read leaves the list empty:
        // then there is nothing to store.
        const auto last = endValues.last();
        written = true;
        write(ValueWriter::Table::Permanent, m_seriesId, true,
              buildEndValueString(*last, m_recordingStart, now()));
    }
    if (written && !m_programWritten) {
        const auto alive = m_alive;
        co_await writeProgramToSeries(m_batteryId, m_seriesId);
        if (!*alive)
            co_return;
        m_programWritten = true;
        storeMark();
    }
    m_queued = false;
}

QCoro::Task<bool> ChannelRecorder::writeProgramToSeries(qint32 batteryId, qint32 seriesId) {
    if (!m_session.user() || !m_requestProgram)
        co_return false;
    const auto alive = m_alive;
    QString answer = co_await m_requestProgram();
    // The files may have been closed while the charger answered.
    Database* db = m_session.user();
    if (!*alive || !db || !db->isOpen())
        co_return false;
    ProgramRecord program(defaultEndOfCharge(m_session.settings()));
    program.parse(answer, true);
    if (program.batteryType == ProgramRecord::BadAnswer ||
        program.batteryType == ProgramRecord::NoAnswer)
        co_return false;
    const QString mode = modeTextOf(program);
    auto found = std::make_shared<bool>(false); // the series is still the battery's
    // (Made before the co_await: a temporary inside it trips GCC 12.)
    std::function<bool(UserStores&)> work = [=](UserStores& stores) {
        BatteryRecords& records = stores.batteries();
        const auto series = records.seriesById(seriesId);
        *found = series && *series && (*series)->batteryId == batteryId;
        return *found && records.setProgram(seriesId, answer, mode).ok();
    };
    const bool stored = co_await m_session.awaitStores(std::move(work));
    if (!*alive || !*found)
        co_return false;
    m_seriesProgram = answer;
    co_return stored;
}

QString ChannelRecorder::modeTextOf(const ProgramRecord& program) const {
    Recordset* modes = m_session.recordsets().geraeteModi.get();
    if (!modes || !modes->isValid())
        return QString();
    modes->moveFirst();
    if (!modes->findFirstEqual(QStringLiteral("ModusNr"), QString::number(program.deviceMode)))
        return QString();
    return modes->text(QStringLiteral("ResourceText"));
}

// The queued recording becomes the running one in one step: whoever asks in
// between (the capture dialog, while the series' program is asked from the
// charger) never sees a channel that is queued and recording at once.
void ChannelRecorder::startQueued() {
    if (!m_queued)
        return;
    m_recording = true;
    m_queued = false;
}

void ChannelRecorder::stop() {
    m_recording = false;
    forgetStoredMark();
}

void ChannelRecorder::end() {
    m_recording = false;
    m_queued = false;
    m_seriesId = -1;
    forgetStoredMark();
}

void ChannelRecorder::storeMark() {
    if (!m_recording || m_seriesId <= 0 || m_seriesProgram.isEmpty())
        return;
    writeRecordingMark(m_session.settings(), channelNumber(),
                       {m_batteryId, m_seriesId, m_seriesProgram, m_recordingStart});
    m_markStored = true;
}

std::optional<RecordingMark> ChannelRecorder::storedMark() const {
    return readRecordingMark(m_session.settings(), channelNumber());
}

// Asked on every state that ends a process: the file is written only when
// there is a mark.
void ChannelRecorder::forgetStoredMark(bool always) {
    if (!m_markStored && !always)
        return;
    clearRecordingMark(m_session.settings(), channelNumber());
    m_markStored = false;
}

void ChannelRecorder::resume(const RecordingMark& mark) {
    m_batteryId = mark.batteryId;
    m_seriesId = mark.seriesId;
    m_recordingStart = mark.start;
    m_seriesProgram = mark.program;
    m_recording = true;
    m_queued = false;
    m_programWritten = true; // the series has its program
    m_markStored = true;     // still on disk
}

void ChannelRecorder::dropQueued() {
    if (!m_queued)
        return; // it has begun meanwhile: the series is recorded
    m_queued = false;
    m_seriesId = -1;
}

QCoro::Task<> ChannelRecorder::start(qint32 battery, qint32 series, bool queued, bool withTemp,
                                     bool endValuesAvailable, bool measurementRunning) {
    const auto alive = m_alive;
    m_batteryId = battery;
    m_seriesId = series;
    m_queued = queued;
    m_recording = !queued;
    m_programWritten = false;
    m_seriesProgram.clear(); // known once the charger has told it for this series
    if (!withTemp) {
        co_await writeProgramToSeries(m_batteryId, m_seriesId);
        if (!*alive)
            co_return;
        m_recordingStart = now();
        storeMark();
        co_return;
    }
    // After a finished process whose end values have arrived, the poll has
    // moved on to a new temporary series: the values are in the one before.
    const qint32 from = (queued || !endValuesAvailable || measurementRunning)
                            ? m_tempSeriesId
                            : m_previousTempSeriesId;
    // Later values continue the time base of the taken-over ones; with
    // nothing to take over, the recording starts now (tempSeriesStart then
    // belongs to an older series, or was never set).
    m_recordingStart = (from == m_tempSeriesId && !m_tempSeriesUsed) ? now() : m_tempSeriesStart;
    co_await writeProgramToSeries(m_batteryId, m_seriesId);
    if (!*alive)
        co_return;
    m_programWritten = true;
    storeMark();
    // Values still waiting in memory belong to the series that moves.
    retryWaitingValues();
    if (const Result<void> moved = m_session.recordingValues().adoptTemporarySeries(from, series);
        !moved) {
        m_session.writeLog(
            QStringLiteral("Recording"),
            {QStringLiteral("channel %1: temporary series %2 not moved into series %3")
                 .arg(m_code, QString::number(from), QString::number(series))});
    }
}

bool ChannelRecorder::releaseBattery(qint32 batteryId) {
    if (batteryId != m_batteryId)
        return false;
    m_batteryId = -1;
    return true;
}

bool ChannelRecorder::isBatteryUsed(qint32 batteryId) const {
    return batteryId == m_batteryId && (m_recording || m_queued);
}

} // namespace velmara
