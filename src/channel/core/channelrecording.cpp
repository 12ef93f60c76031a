// Recording on a channel: the temporary series (always on) in TempMessWerte and
// the permanent recording of a battery's series in MessWerte.
#include "channel/core/channelcontroller.h"

#include "data/databases.h"
#include "data/storage/database.h"
#include "data/storage/recordset.h"
#include "data/tempvalues.h"
#include "data/valuestrings.h"
#include "link/velmaracomcommunication.h"
#include "shell/core/programresources.h"
#include "shell/core/velmaralog.h"

namespace velmara {

// Adds one row and saves it at once, so the value is on disk before it is shown.
// A failed write is logged and the pending row dropped; the caller goes on.
bool ChannelController::storeRow(Recordset* set, qint32 seriesId, bool endValue,
                                 const QString& text, qint32* newId) {
    if (!set || !set->isValid()) {
        VelmaraLog::instance().writeLogSignature(QStringLiteral("Recording"));
        VelmaraLog::instance().writeLogEntry(
            QStringLiteral("channel %1: no record set for %2").arg(m_code, text));
        return false;
    }
    set->addNew();
    set->setValue(QStringLiteral("MessReiheID"), seriesId);
    set->setValue(QStringLiteral("EW"), endValue ? 1 : 0);
    set->setValue(QStringLiteral("MessWertString"), text);
    if (!set->update()) {
        const QString why = set->lastError();
        set->cancelUpdate();
        VelmaraLog::instance().writeLogSignature(QStringLiteral("Recording"));
        VelmaraLog::instance().writeLogEntry(
            QStringLiteral("channel %1: value %2 of series %3 not stored: %4")
                .arg(m_code, text, QString::number(seriesId), why));
        return false;
    }
    if (newId) {
        const QVariant key = set->lastModified();
        *newId = key.isValid() ? key.toInt() : 0;
    }
    return true;
}

void ChannelController::writeNewTempValueToDB(const CommunicationResults& comRes) {
    if (comRes.iAntwortTyp != CommunicationResults::Status ||
        (comRes.iStatusTyp != 2 && comRes.iStatusTyp != 3))
        return;
    const QDateTime t = now();
    if (!m_tempSeriesUsed)
        m_tempSeriesStart = t;
    m_tempSeriesUsed = true;
    storeRow(shared().tempMessWerte.get(), m_tempSeriesId, false,
             buildValueString(comRes, m_tempSeriesStart, t), nullptr);
}

void ChannelController::writeEndValueToTemp(CommunicationEndwert& endwert) {
    const QDateTime t = now();
    if (!m_tempSeriesUsed)
        m_tempSeriesStart = t;
    m_tempSeriesUsed = true;
    qint32 id = 0;
    if (storeRow(shared().tempMessWerte.get(), m_tempSeriesId, true,
                 buildEndValueString(endwert, m_tempSeriesStart, t), &id))
        endwert.TempID = id;
}

void ChannelController::writeNewValueToDB(const CommunicationResults& comRes) {
    const qint16 k = comRes.iAntwortTyp;
    bool written = false; // a value was handed to the table (steps 2 and 3)
    if (k == CommunicationResults::Status) {
        written = true;
        storeRow(shared().messWerte.get(), lMessReiheId, false,
                 buildValueString(comRes, m_recordingStart, now()), nullptr);
    } else if (k == CommunicationResults::Endwert && m_endwerte->Count() > 0) {
        // An end-value answer that could not be read leaves the list empty:
        // then there is nothing to store.
        const auto last = m_endwerte->Item(m_endwerte->Count());
        written = true;
        storeRow(shared().messWerte.get(), lMessReiheId, true,
                 buildEndValueString(*last, m_recordingStart, now()), nullptr);
    }
    if (written && !bCurrentProgramWritten) {
        writeProgramToSeries(lAkkuId, lMessReiheId);
        bCurrentProgramWritten = true;
    }
    bRecordingInQueue = false;
}

bool ChannelController::writeProgramToSeries(qint32 akkuId, qint32 messReiheId) {
    Database* db = userDatabase();
    if (!db)
        return false;
    auto series = db->openRecordset(QStringLiteral("SELECT * FROM MessReihen WHERE AkkuId=") +
                                    QString::number(akkuId));
    QString answer = m_link ? m_link->getProgram(m_code) : QString();
    CommunicationProgram program;
    program.splitRecievedString(answer, true);
    if (program.iAkkuTyp == CommunicationProgram::BadAnswer ||
        program.iAkkuTyp == CommunicationProgram::NoAnswer)
        return false;
    if (!series || !series->isValid())
        return false;
    series->moveFirst();
    if (!series->findFirst(QStringLiteral("MessReiheID=") + QString::number(messReiheId)))
        return false;
    series->edit();
    series->setValue(QStringLiteral("Programm"), answer);
    series->setValue(QStringLiteral("Mode"), modeTextOf(program));
    if (!series->update()) {
        series->cancelUpdate();
        return false;
    }
    return true;
}

QString ChannelController::modeTextOf(const CommunicationProgram& program) {
    Recordset* modes = shared().geraeteModi.get();
    if (!modes || !modes->isValid())
        return QString();
    modes->moveFirst();
    if (!modes->findFirst(QStringLiteral("[ModusNr]='") + QString::number(program.iMode) +
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
    m_endwerte = std::make_shared<EntwertList>();
    m_display.setEndwertLines({}, {});
    bEndwerteAvaiable = false;
    if (bRecordingInQueue)
        bRecording = true;
    m_display.setVisible(ChannelField::Selbstentladung, false);
    m_display.setVisible(ChannelField::Akkuzustand, false);
}

void ChannelController::resetForNewProgram() {
    resetForNewRun();
    endRecording();
    initChannel();
}

void ChannelController::endRecording() {
    bRecording = false;
    bRecordingInQueue = false;
    lMessReiheId = -1;
    if (!m_first)
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
}

void ChannelController::startRecording(qint32 lakku, qint32 lmess, bool bInQueue, bool bWithTemp) {
    lAkkuId = lakku;
    lMessReiheId = lmess;
    bRecordingInQueue = bInQueue;
    bRecording = !bInQueue;
    bCurrentProgramWritten = false;
    if (bWithTemp) {
        // After a finished process whose end values have arrived, the poll has
        // moved on to a new temporary series: the values are in the one before.
        const qint32 series = (bInQueue || !bEndwerteAvaiable || bMeasurementRunning)
                                  ? m_tempSeriesId
                                  : m_previousTempSeriesId;
        // Later values continue the time base of the taken-over ones; with
        // nothing to take over, the recording starts now (tempSeriesStart then
        // belongs to an older series, or was never set).
        m_recordingStart =
            (series == m_tempSeriesId && !m_tempSeriesUsed) ? now() : m_tempSeriesStart;
        writeProgramToSeries(lAkkuId, lMessReiheId);
        bCurrentProgramWritten = true;
        if (!moveTempSeries(series, lmess)) {
            VelmaraLog::instance().writeLogSignature(QStringLiteral("Recording"));
            VelmaraLog::instance().writeLogEntry(
                QStringLiteral("channel %1: temporary series %2 not moved into series %3")
                    .arg(m_code, QString::number(series), QString::number(lmess)));
        }
    } else {
        writeProgramToSeries(lAkkuId, lMessReiheId);
        m_recordingStart = now();
    }
}

void ChannelController::setFrameAkkumesswerteHeading(const QString& strAkkuName,
                                                     const QString& strMessreiheName,
                                                     const QString& strMessreiheNr) {
    if (strAkkuName.trimmed().isEmpty()) {
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
        m_display.setText(ChannelField::Bemerkung, QString());
        return;
    }
    m_display.setText(ChannelField::MesswerteHeading, res(QStringLiteral("0818")) +
                                                          QStringLiteral(" - ") + strAkkuName +
                                                          QStringLiteral(" / ") + strMessreiheNr);
    m_display.setText(ChannelField::Bemerkung, strMessreiheName);
}

bool ChannelController::resetAkkuId(qint32 id) {
    if (id != lAkkuId)
        return false;
    lAkkuId = -1;
    return true;
}

bool ChannelController::isAkkuUsed(qint32 id) const {
    return id == lAkkuId && (bRecording || bRecordingInQueue);
}

} // namespace velmara
