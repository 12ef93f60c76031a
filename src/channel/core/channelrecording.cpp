// Recording on a channel: the temporary series (always on) in TempMessWerte and
// the permanent recording of a battery's series in MessWerte.
#include "channel/core/channelcontroller.h"
#include "channel/core/channelstep.h"
#include "data/settingsstore.h"

#include "base/core/errorlog.h"
#include "data/databases.h"
#include "data/tempvalues.h"
#include "data/textstore.h"
#include "data/valuestrings.h"
#include "link/chargerlink.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara {

// Hands the value to the writer: on disk now, or kept in memory until the file
// takes writes again. The user hears of values that wait (once per episode).
void ChannelController::writeValue(ValueWriter::Table table, qint32 seriesId, bool endValue,
                                   const QString& text, ValueWriter::StoredCallback onStored) {
    const quint64 droppedBefore = m_writer.dropped();
    if (!m_writer.write(table, seriesId, endValue, text, std::move(onStored))) {
        ErrorLog::instance().writeSignature(QStringLiteral("Recording"));
        ErrorLog::instance().writeEntry(
            QStringLiteral("channel %1: value %2 of series %3 %4: %5")
                .arg(m_code, text, QString::number(seriesId),
                     m_writer.dropped() != droppedBefore
                         ? QStringLiteral("lost, the memory for waiting values is full")
                         : QStringLiteral("waits in memory"),
                     m_writer.lastError()));
    }
    reportWaitingValues();
}

// Values that wait are written before anything new, as soon as the file takes
// them; a file that was write-protected at its opening is opened anew once it
// is writable.
void ChannelController::retryWaitingValues() {
    if (m_writer.waiting() == 0)
        return;
    if (Database* db = userDatabase())
        db->reopenIfWritable();
    m_writer.flush();
    reportWaitingValues();
}

void ChannelController::reportWaitingValues() {
    const int waiting = int(m_writer.waiting());
    if (waiting == m_reportedWaiting)
        return;
    m_reportedWaiting = waiting;
    m_display.setStorageWarning(waiting == 0 ? QString()
                                             : res(QStringLiteral("1124")).arg(waiting));
    m_host.setValuesWaiting(m_code, waiting, m_writer.lastError());
}

void ChannelController::writeTempValue(const StatusRecord& comRes) {
    if (comRes.answerType != StatusRecord::Status ||
        (comRes.stateCode != 2 && comRes.stateCode != 3))
        return;
    const QDateTime t = now();
    if (!m_tempSeriesUsed)
        m_tempSeriesStart = t;
    m_tempSeriesUsed = true;
    writeValue(ValueWriter::Table::Temporary, m_tempSeriesId, false,
               buildValueString(comRes, m_tempSeriesStart, t));
}

void ChannelController::writeEndValueToTemp(const std::shared_ptr<EndValueRecord>& endwert) {
    const QDateTime t = now();
    if (!m_tempSeriesUsed)
        m_tempSeriesStart = t;
    m_tempSeriesUsed = true;
    // The list line learns the row's key once the row is on disk; a line that
    // waited is refreshed then.
    auto written = std::make_shared<bool>(false);
    writeValue(ValueWriter::Table::Temporary, m_tempSeriesId, true,
               buildEndValueString(*endwert, m_tempSeriesStart, t),
               [this, endwert, written](qint32 id) {
                   endwert->tempId = id;
                   if (*written)
                       showEndValueLists();
               });
    *written = true;
}

QCoro::Task<> ChannelController::writeValue(const StatusRecord& comRes) {
    const qint16 k = comRes.answerType;
    bool written = false; // a value was handed to the table (steps 2 and 3)
    if (k == StatusRecord::Status) {
        written = true;
        writeValue(ValueWriter::Table::Permanent, m_seriesId, false,
                   buildValueString(comRes, m_recordingStart, now()));
    } else if (k == StatusRecord::Endwert && m_endwerte->Count() > 0) {
        // An end-value answer that could not be read leaves the list empty:
        // then there is nothing to store.
        const auto last = m_endwerte->Item(m_endwerte->Count());
        written = true;
        writeValue(ValueWriter::Table::Permanent, m_seriesId, true,
                   buildEndValueString(*last, m_recordingStart, now()));
    }
    if (written && !m_programWritten) {
        const auto alive = m_alive;
        co_await writeProgramToSeries(m_batteryId, m_seriesId);
        if (!*alive)
            co_return;
        m_programWritten = true;
    }
    m_recordingQueued = false;
}

// Stores the program the channel runs (asked from the charger) with the series.
QCoro::Task<bool> ChannelController::writeProgramToSeries(qint32 akkuId, qint32 messReiheId) {
    if (!userDatabase())
        co_return false;
    const auto alive = m_alive;
    QString answer = co_await requestProgram();
    // The files may have been closed while the charger answered.
    Database* db = userDatabase();
    if (!*alive || !db || !db->isOpen())
        co_return false;
    auto series = db->openRecordset(QStringLiteral("SELECT * FROM MessReihen WHERE AkkuId=") +
                                    QString::number(akkuId));
    ProgramRecord program(defaultEndOfCharge());
    program.parse(answer, true);
    if (program.batteryType == ProgramRecord::BadAnswer ||
        program.batteryType == ProgramRecord::NoAnswer)
        co_return false;
    if (!series || !series->isValid())
        co_return false;
    series->moveFirst();
    if (!series->findFirst(QStringLiteral("MessReiheID=") + QString::number(messReiheId)))
        co_return false;
    series->edit();
    series->setValue(QStringLiteral("Programm"), answer);
    series->setValue(QStringLiteral("Mode"), modeTextOf(program));
    if (!series->update()) {
        series->cancelUpdate();
        co_return false;
    }
    co_return true;
}

QString ChannelController::modeTextOf(const ProgramRecord& program) {
    Recordset* modes = shared().geraeteModi.get();
    if (!modes || !modes->isValid())
        return QString();
    modes->moveFirst();
    if (!modes->findFirst(QStringLiteral("[ModusNr]='") + QString::number(program.deviceMode) +
                          QStringLiteral("'")))
        return QString();
    return modes->text(QStringLiteral("ResourceText"));
}

void ChannelController::startNewTempSeries() {
    if (!m_tempSeriesUsed)
        return;
    m_previousTempSeriesId = m_tempSeriesId;
    m_tempSeriesId = m_host.newTempSeriesId();
    m_tempSeriesUsed = false;
}

void ChannelController::resetForNewRun() {
    m_endwerte = std::make_shared<EndValueList>();
    m_display.setEndValueLines({}, {});
    m_endValuesAvailable = false;
    if (m_recordingQueued)
        m_recording = true;
    m_display.setVisible(ChannelField::Selbstentladung, false);
    m_display.setVisible(ChannelField::Akkuzustand, false);
}

QCoro::Task<> ChannelController::resetForNewProgram() {
    const auto alive = m_alive;
    const auto turn = m_turn;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    const Step step(turn, alive, &m_stepsActive, granted);
    if (!step.runs())
        co_return;
    resetForNewRun();
    endRecording();
    co_await runInit();
}

void ChannelController::endRecording() {
    m_recording = false;
    m_recordingQueued = false;
    m_seriesId = -1;
    if (!m_first)
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
}

QCoro::Task<> ChannelController::startRecording(qint32 lakku, qint32 lmess, bool queued,
                                                bool withTemp) {
    const auto alive = m_alive;
    const auto turn = m_turn;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    const Step step(turn, alive, &m_stepsActive, granted);
    if (!step.runs())
        co_return;
    m_batteryId = lakku;
    m_seriesId = lmess;
    m_recordingQueued = queued;
    m_recording = !queued;
    m_programWritten = false;
    if (withTemp) {
        // After a finished process whose end values have arrived, the poll has
        // moved on to a new temporary series: the values are in the one before.
        const qint32 series = (queued || !m_endValuesAvailable || m_measurementRunning)
                                  ? m_tempSeriesId
                                  : m_previousTempSeriesId;
        // Later values continue the time base of the taken-over ones; with
        // nothing to take over, the recording starts now (tempSeriesStart then
        // belongs to an older series, or was never set).
        m_recordingStart =
            (series == m_tempSeriesId && !m_tempSeriesUsed) ? now() : m_tempSeriesStart;
        co_await writeProgramToSeries(m_batteryId, m_seriesId);
        if (!*alive)
            co_return;
        m_programWritten = true;
        // Values still waiting in memory belong to the series that moves.
        retryWaitingValues();
        if (!moveTempSeries(series, lmess)) {
            ErrorLog::instance().writeSignature(QStringLiteral("Recording"));
            ErrorLog::instance().writeEntry(
                QStringLiteral("channel %1: temporary series %2 not moved into series %3")
                    .arg(m_code, QString::number(series), QString::number(lmess)));
        }
    } else {
        co_await writeProgramToSeries(m_batteryId, m_seriesId);
        if (!*alive)
            co_return;
        m_recordingStart = now();
    }
}

void ChannelController::setValuesFrameHeading(const QString& batteryName, const QString& seriesName,
                                              const QString& seriesNumber) {
    if (batteryName.trimmed().isEmpty()) {
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
        m_display.setText(ChannelField::Bemerkung, QString());
        return;
    }
    m_display.setText(ChannelField::MesswerteHeading, res(QStringLiteral("0818")) +
                                                          QStringLiteral(" - ") + batteryName +
                                                          QStringLiteral(" / ") + seriesNumber);
    m_display.setText(ChannelField::Bemerkung, seriesName);
}

bool ChannelController::releaseBattery(qint32 id) {
    if (id != m_batteryId)
        return false;
    m_batteryId = -1;
    return true;
}

bool ChannelController::isBatteryUsed(qint32 id) const {
    return id == m_batteryId && (m_recording || m_recordingQueued);
}

} // namespace velmara
