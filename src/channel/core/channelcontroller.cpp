#include "channel/core/channelcontroller.h"
#include "data/settingsstore.h"
#include "channel/core/channelstep.h"

#include "data/databases.h"
#include "storage/recordset.h"
#include "link/turnqueue.h"
#include "link/chargerlink.h"
#include "base/core/formatting.h"
#include "base/core/messages.h"
#include "data/textstore.h"

namespace velmara {

namespace {

// Charger states of a status answer (iStatusTyp).
enum State : qint16 {
    Idle = 1,        // SA
    Charging = 2,    // SL
    Discharging = 3, // SE
    Trickle = 4,     // SM
    Finished = 5,    // SF
    Waiting = 6,     // SW
    Fault = 7
};

} // namespace

ChannelController::ChannelController(QString code, VelmaraComCommunication* link, ChannelHost& host,
                                     ChannelDisplay& display, Clock clock, QObject* parent)
    : QObject(parent), m_code(std::move(code)), m_first(m_code == QLatin1String("001")),
      m_link(link), m_host(host), m_display(display), m_clock(std::move(clock)),
      m_status(std::make_unique<CommunicationResults>()),
      m_program(std::make_shared<CommunicationProgram>(defaultEndOfCharge())),
      m_endwerte(std::make_shared<EntwertList>()), m_writer([](ValueWriter::Table table) {
          return table == ValueWriter::Table::Temporary ? shared().tempMessWerte.get()
                                                        : shared().messWerte.get();
      }) {
    m_pollTimer.setInterval(NormalInterval);
    m_flashingTimer.setInterval(FlashInterval);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] { tick(); });
    connect(&m_flashingTimer, &QTimer::timeout, this, &ChannelController::flashingTick);
    m_turn = m_host.channelTurn();
    if (!m_turn)
        m_turn = std::make_shared<TurnQueue>();
}

// A step that waits for an answer or for its turn ends without touching the
// controller once it resumes.
ChannelController::~ChannelController() {
    *m_alive = false;
}

QDateTime ChannelController::now() const {
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

void ChannelController::load(bool startTimer) {
    m_headingResetPending = false;
    bRecording = bRecordingInQueue = bEndwerteAvaiable = programDialogOpen = false;
    bMeasurementRunning = bCurrentProgramWritten = false;
    lMessReiheId = lAkkuId = -1;
    m_previousTempSeriesId = m_tempSeriesId = -1;
    m_display.setVisible(ChannelField::Selbstentladung, false);
    m_display.setVisible(ChannelField::Akkuzustand, false);
    initChannel(); // runs on while the charger answers; the window does not wait
    if (startTimer)
        m_pollTimer.start();
}

// ---------------------------------------------------------------- requests

// An answer belongs to the channel only when it names the channel: an answer
// that came too late for another channel's request counts as a bad answer and
// is neither shown nor stored.
QString ChannelController::ownAnswer(const QString& answer) const {
    if (answer.isEmpty() || answer == QLatin1String("-1"))
        return answer;
    if (answer.section(QLatin1Char(','), 0, 0).trimmed() != m_code)
        return QStringLiteral("-1");
    return answer;
}

QCoro::Task<QString> ChannelController::requestStatus() {
    if (!m_link)
        co_return QString();
    const auto alive = m_alive;
    const QString answer = co_await m_link->getStatus(m_code);
    co_return *alive ? ownAnswer(answer) : QString();
}

QCoro::Task<QString> ChannelController::requestEndwert() {
    if (!m_link)
        co_return QString();
    const auto alive = m_alive;
    const QString answer = co_await m_link->getEndwert(m_code);
    co_return *alive ? ownAnswer(answer) : QString();
}

QCoro::Task<QString> ChannelController::requestProgram() {
    if (!m_link)
        co_return QString();
    const auto alive = m_alive;
    const QString answer = co_await m_link->getProgram(m_code);
    co_return *alive ? ownAnswer(answer) : QString();
}

// Asks for the running program, parses it into the program record and shows it.
QCoro::Task<> ChannelController::readProgram() {
    const auto alive = m_alive;
    QString answer = co_await requestProgram();
    if (!*alive)
        co_return;
    m_program->splitRecievedString(answer, true);
    showProgram(*m_program);
}

// Asks for the end values; a readable answer goes to the end-value handler.
QCoro::Task<> ChannelController::readEndwerte(bool emptyFirst) {
    const auto alive = m_alive;
    QString answer = co_await requestEndwert();
    if (!*alive)
        co_return;
    auto list = std::make_shared<EntwertList>();
    if (!list->splitRecievedString(answer))
        co_return;
    if (emptyFirst) {
        // The lists are read anew after the charger was silent: end values the
        // channel knew already are in the temporary series, and stay there once.
        const std::shared_ptr<EntwertList> known = m_endwerte;
        m_endwerte = std::make_shared<EntwertList>();
        auto fresh = std::make_shared<EntwertList>();
        for (const auto& ew : *list) {
            if (const qint32 id = storedIdOf(*known, *ew)) {
                ew->TempID = id;
                m_endwerte->Add(ew);
            } else {
                fresh->Add(ew);
            }
        }
        if (fresh->Count() == 0) {
            showEndwertLists();
            bEndwerteAvaiable = m_endwerte->Count() > 0;
            co_return;
        }
        if (m_endwerte->Count() > 0) {
            for (const auto& ew : *fresh) {
                writeEndValueToTemp(ew);
                m_endwerte->Add(ew);
            }
            showEndwertLists();
            bEndwerteAvaiable = true;
            co_return;
        }
        list = fresh;
    }
    comResults_EndwertRecieved(list);
}

// The row of an equal end value of the list that is already stored; 0 when none.
qint32 ChannelController::storedIdOf(const EntwertList& list, const CommunicationEndwert& ew) {
    for (const auto& known : list)
        if (known->TempID > 0 && known->strKanal == ew.strKanal &&
            known->iEndwertTyp == ew.iEndwertTyp && known->lKapazitaet == ew.lKapazitaet &&
            known->lZykluszeit == ew.lZykluszeit && known->lSpannung == ew.lSpannung &&
            known->lSelbstentladung == ew.lSelbstentladung &&
            known->bWithAkkuzustand == ew.bWithAkkuzustand &&
            known->bAkkuzustand == ew.bAkkuzustand && known->iProzent == ew.iProzent)
            return known->TempID;
    return 0;
}

void ChannelController::newStatusRecord() {
    m_status = std::make_unique<CommunicationResults>();
    connect(m_status.get(), &CommunicationResults::ProgramChanged, this,
            &ChannelController::comResults_ProgramChanged, Qt::DirectConnection);
    connect(m_status.get(), &CommunicationResults::EndwertRecieved, this,
            &ChannelController::comResults_EndwertRecieved, Qt::DirectConnection);
}

void ChannelController::setPollInterval(int ms) {
    if (m_pollTimer.interval() != ms)
        m_pollTimer.setInterval(ms);
}

// ---------------------------------------------------------------- init and tick

QCoro::Task<> ChannelController::initChannel() {
    const auto alive = m_alive;
    const auto turn = m_turn;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    const Step step(turn, alive, &m_stepsActive, granted);
    if (step.runs())
        co_await runInit();
}

QCoro::Task<> ChannelController::runInit() {
    const auto alive = m_alive;
    m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
    newStatusRecord();
    m_program = std::make_shared<CommunicationProgram>(defaultEndOfCharge());
    m_endwerte = std::make_shared<EntwertList>();
    m_tempSeriesUsed = true;
    startNewTempSeries();

    if (!m_first && m_host.noQmtFound()) {
        // Channel 1 has found no charger: no request at all.
        m_status->iAntwortTyp = CommunicationResults::NoAnswer;
        m_program->iAkkuTyp = CommunicationProgram::NoAnswer;
        showProgram(*m_program);
    } else {
        co_await readProgram();
        if (!*alive)
            co_return;
        if (m_program->iAkkuTyp == CommunicationProgram::NoAnswer) {
            m_status->iAntwortTyp = CommunicationResults::NoAnswer;
            if (m_first) {
                m_host.setNoQmtFound(true);
                setPollInterval(SilentInterval);
            }
        } else {
            co_await readEndwerte(false);
            if (!*alive)
                co_return;
            QString answer = co_await requestStatus();
            if (!*alive)
                co_return;
            m_status->splitRecievedString(answer);
            if (m_first)
                m_host.setNoQmtFound(false);
        }
    }
    showStatus(*m_status);
    // The first reading of a charging or discharging channel is shown, so it is
    // stored like every later one.
    writeNewTempValueToDB(*m_status);
}

QCoro::Task<> ChannelController::tick() {
    if (m_tickActive || (!m_first && m_host.noQmtFound()))
        co_return;
    const auto alive = m_alive;
    const auto turn = m_turn;
    m_tickActive = true;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    const Step step(turn, alive, &m_stepsActive, granted);
    if (step.runs())
        co_await runTick();
    if (*alive)
        m_tickActive = false;
}

QCoro::Task<> ChannelController::runTick() {
    // Channel 1 may have found the charger gone while this tick waited.
    if (!m_first && m_host.noQmtFound())
        co_return;
    const auto alive = m_alive;
    retryWaitingValues();

    const qint16 antwortTyp = m_status->iAntwortTyp;
    const qint16 akkuTyp = m_program->iAkkuTyp;
    if (akkuTyp == CommunicationProgram::ChannelFault ||
        antwortTyp == CommunicationResults::NoAnswer) {
        // Probe: is there a charger, and what does the channel run?
        co_await readProgram();
        if (!*alive)
            co_return;
        if (m_program->iAkkuTyp == CommunicationProgram::NoAnswer) {
            m_status->iAntwortTyp = CommunicationResults::NoAnswer;
            if (m_first) {
                ++m_noAnswerCount;
                if (m_noAnswerCount >= SilentProbesBeforeNoQmt) {
                    m_host.setNoQmtFound(true);
                    setPollInterval(SilentInterval);
                }
            } else {
                setPollInterval(OtherSilentInterval);
            }
        } else {
            co_await readEndwerte(true);
            if (!*alive)
                co_return;
            QString answer = co_await requestStatus();
            if (!*alive)
                co_return;
            m_status->splitRecievedString(answer);
            if (m_first) {
                co_await readProgram();
                if (!*alive)
                    co_return;
                m_noAnswerCount = 0;
                m_host.setNoQmtFound(false);
            }
            setPollInterval(NormalInterval);
        }
    } else {
        m_noAnswerCount = 0;
        // A program answer that could not be read (or came from another
        // channel) leaves the program unknown: ask again before the status.
        if (m_program->iAkkuTyp == CommunicationProgram::BadAnswer) {
            co_await readProgram();
            if (!*alive)
                co_return;
        }
        QString answer = co_await requestStatus();
        if (!*alive)
            co_return;
        const qint16 oldState = m_status->iStatusTyp;
        m_status->splitRecievedString(answer);
        if (m_status->strKanal != m_code)
            co_return;
        if (m_status->iAntwortTyp == CommunicationResults::BadAnswer) {
            answer = co_await requestStatus();
            if (!*alive)
                co_return;
            m_status->splitRecievedString(answer);
            if (m_status->iAntwortTyp == CommunicationResults::BadAnswer)
                co_return;
        }
        if (oldState == Idle && m_status->iStatusTyp != Idle)
            resetForNewRun();
    }

    setFlashing(m_status->iAntwortTyp != CommunicationResults::NoAnswer);
    showStatus(*m_status);
    writeNewTempValueToDB(*m_status);
    if (bRecording) {
        co_await writeNewValueToDB(*m_status);
        if (!*alive)
            co_return;
    } else if (!bRecordingInQueue && m_headingResetPending) {
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
        m_display.setText(ChannelField::Bemerkung, QString());
    }
    m_headingResetPending = false;
    m_display.polled(*m_status);
}

// ---------------------------------------------------------------- display

QString ChannelController::headingWithoutRecording() {
    return res(QStringLiteral("0818")) + QStringLiteral(" - ") + res(QStringLiteral("0820"));
}

void ChannelController::showState(const QString& key) {
    const QString text = res(key);
    m_display.setText(ChannelField::Status, text);
    m_host.setStatusbarText(m_code, text);
}

void ChannelController::clearLiveValues() {
    m_display.setText(ChannelField::Spannung, QString());
    m_display.setText(ChannelField::Strom, QString());
    m_display.setText(ChannelField::Kapazitaet, QString());
}

void ChannelController::showLiveValues(const CommunicationResults& status) {
    m_display.setText(ChannelField::Spannung, formatVoltString(status.lSpannung));
    m_display.setText(ChannelField::Strom, formatAmpereString(status.lStrom));
    m_display.setText(ChannelField::Kapazitaet, formatAmpereHourString(status.lKapazitaet));
}

void ChannelController::showBatteryState(qint16 code) {
    if (code == 10)
        m_display.setText(ChannelField::Akkuzustand, res(QStringLiteral("0870")));
    else if (code == 11)
        m_display.setText(ChannelField::Akkuzustand, res(QStringLiteral("0872")));
}

// Faults 3 and 6 are told in a notice, once per fault episode: it is not shown
// again while the channel stays in that fault. The notice does not wait for the
// user, so the poll goes on behind it.
void ChannelController::showFaultBox(qint16 code) {
    if (m_faultBoxShown == code)
        return;
    m_faultBoxShown = code;
    Message m;
    if (code == 3) {
        m.text = res(QStringLiteral("0880")) + QStringLiteral("\n\n") + res(QStringLiteral("0881"));
        m.key = QStringLiteral("0880");
    } else {
        m.text = res(QStringLiteral("0876"));
        m.key = QStringLiteral("0876");
    }
    m.title = res(QStringLiteral("0120"));
    m.icon = MsgIcon::Critical;
    m.buttons = MsgButtons::Ok;
    showNotice(QStringLiteral("channel-fault-") + m_code, m);
}

void ChannelController::showStatus(CommunicationResults& status) {
    if (m_program->iAkkuTyp == CommunicationProgram::ChannelFault) {
        status.iAntwortTyp = CommunicationResults::Status;
        status.iStatusTyp = Fault;
        status.iFehlerCode = 2;
    }
    if (status.strKanal != m_code || status.iAntwortTyp == CommunicationResults::NoAnswer) {
        for (ChannelField f :
             {ChannelField::AkkuTyp, ChannelField::Mode, ChannelField::NennKapazitaet,
              ChannelField::Bemerkung, ChannelField::Kapazitaet, ChannelField::Spannung,
              ChannelField::Strom})
            m_display.setText(f, QString());
        showState(QStringLiteral("6000"));
        bMeasurementRunning = false;
        startNewTempSeries();
        return;
    }

    const qint16 kind = status.iAntwortTyp;
    const qint16 state = status.iStatusTyp;
    // The fault episode ends with any answer that is not this fault.
    if ((kind == CommunicationResults::Status ||
         kind == CommunicationResults::StatusWithoutValues) &&
        !(kind == CommunicationResults::Status && state == Fault &&
          status.iFehlerCode == m_faultBoxShown))
        m_faultBoxShown = 0;

    if (kind == CommunicationResults::Status) {
        switch (state) {
        case Idle:
            showState(QStringLiteral("6010"));
            clearLiveValues();
            showBatteryState(status.iFehlerCode);
            m_headingResetPending = true;
            bMeasurementRunning = false;
            bRecording = false;
            startNewTempSeries();
            break;
        case Charging:
            showState(QStringLiteral("6012"));
            showLiveValues(status);
            bMeasurementRunning = true;
            break;
        case Discharging:
            showState(QStringLiteral("6014"));
            showLiveValues(status);
            bMeasurementRunning = true;
            break;
        case Trickle:
            showState(QStringLiteral("6016"));
            bMeasurementRunning = false;
            bRecording = false;
            startNewTempSeries();
            break;
        case Finished:
            showFinished(status);
            break;
        case Waiting:
            showWaiting();
            break;
        case Fault:
            switch (status.iFehlerCode) {
            case 2:
                showState(QStringLiteral("0878"));
                bMeasurementRunning = false;
                break;
            case 3:
            case 6:
                showFaultBox(status.iFehlerCode);
                break;
            case 4:
                showState(QStringLiteral("0882"));
                break;
            case 5:
                showState(QStringLiteral("0874"));
                bMeasurementRunning = false;
                bRecording = false;
                break;
            case 7:
                showState(QStringLiteral("0884"));
                break;
            case 8:
                showState(QStringLiteral("0886"));
                bMeasurementRunning = false;
                break;
            case 9:
                showState(QStringLiteral("0888"));
                bMeasurementRunning = false;
                break;
            default:
                showState(QStringLiteral("6022"));
                bMeasurementRunning = false;
                startNewTempSeries();
                break;
            }
            break;
        default:
            break;
        }
    } else if (kind == CommunicationResults::StatusWithoutValues) {
        switch (state) {
        case Idle:
            showState(QStringLiteral("6010"));
            clearLiveValues();
            m_headingResetPending = true;
            bMeasurementRunning = false;
            bRecording = false;
            break;
        case Charging:
            showState(QStringLiteral("6012"));
            break;
        case Discharging:
            showState(QStringLiteral("6014"));
            break;
        case Finished:
            showFinished(status);
            break;
        case Waiting:
            showWaiting();
            break;
        default:
            break;
        }
    }
}

// State 5, with or without live values: the process has ended.
void ChannelController::showFinished(const CommunicationResults& status) {
    showState(QStringLiteral("6018"));
    clearLiveValues();
    showBatteryState(status.iFehlerCode);
    bMeasurementRunning = false;
    bRecording = false;
    setFlashing(false);
    startNewTempSeries();
}

// State 6: waiting ends a recording only in the storage mode (6), where the
// wait is the end of the measurement.
void ChannelController::showWaiting() {
    showState(QStringLiteral("6020"));
    clearLiveValues();
    bMeasurementRunning = false;
    if (m_program->iMode == 6)
        bRecording = false;
}

void ChannelController::showProgram(const CommunicationProgram& program) {
    if (program.strKanal != m_code)
        return;
    if (program.iAkkuTyp == CommunicationProgram::BadAnswer ||
        program.iAkkuTyp == CommunicationProgram::ChannelFault) {
        m_display.setText(ChannelField::AkkuTyp, QString());
        m_display.setText(ChannelField::Mode, QString());
        m_display.setText(ChannelField::NennKapazitaet, QStringLiteral("---"));
        return;
    }
    QString typeText;
    if (program.iAkkuTyp == 5) {
        typeText = res(QStringLiteral("0912"));
    } else if (Recordset* types = shared().akkutypen.get()) {
        types->moveFirst();
        if (types->findFirst(QStringLiteral("[Nr]=") + QString::number(program.iAkkuTyp)))
            typeText = types->text(QStringLiteral("ResourceText"));
    }
    m_display.setText(ChannelField::AkkuTyp, typeText);
    m_display.setText(ChannelField::Mode, modeTextOf(program));
    m_display.setText(ChannelField::NennKapazitaet,
                      program.lKapazitaet == CommunicationProgram::Absent
                          ? QStringLiteral("---")
                          : formatAmpereHourString(program.lKapazitaet));
}

void ChannelController::showEndwertLists() {
    QList<EndwertLine> laden, entladen;
    const EntwertList& list = *m_endwerte;
    if (list.Count() > 0 && list.Item(1)->strKanal == m_code) {
        int nLaden = 0, nEntladen = 0;
        if (list.Item(1)->iEndwertTyp == CommunicationEndwert::AfterDischarge)
            laden.append({QStringLiteral("---"), 0}), nLaden = 1;
        for (const auto& ew : list) {
            if (ew->iEndwertTyp == CommunicationEndwert::AfterDischarge)
                entladen.append({formatEndwertLine(++nEntladen, *ew), ew->TempID});
            else
                laden.append({formatEndwertLine(++nLaden, *ew), ew->TempID});
        }
        const CommunicationEndwert& last = *list.Item(list.Count());
        if (last.bWithAkkuzustand) {
            m_display.setVisible(ChannelField::Akkuzustand, true);
            m_display.setText(
                ChannelField::Akkuzustand,
                res(last.bAkkuzustand ? QStringLiteral("0847") : QStringLiteral("0846")) +
                    QStringLiteral(" (") + QString::number(last.iProzent) + QStringLiteral("%)"));
        } else {
            m_display.setVisible(ChannelField::Akkuzustand, false);
        }
        if (last.lSelbstentladung == -1) {
            m_display.setVisible(ChannelField::Selbstentladung, false);
        } else {
            m_display.setVisible(ChannelField::Selbstentladung, true);
            m_display.setText(ChannelField::Selbstentladung,
                              QString::number(last.lSelbstentladung) + QStringLiteral(" mAh"));
        }
    }
    m_display.setEndwertLines(laden, entladen);
}

void ChannelController::setFlashing(bool on) {
    if (on) {
        if (!m_flashingTimer.isActive())
            m_flashingTimer.start();
    } else {
        m_flashingTimer.stop();
        m_red = false;
        m_display.setStatusFrameRed(false);
    }
}

void ChannelController::flashingTick() {
    m_red = !m_red;
    m_display.setStatusFrameRed(m_red);
}

// ---------------------------------------------------------------- answers in place of a status

void ChannelController::comResults_ProgramChanged(std::shared_ptr<CommunicationProgram> commProg) {
    if (!commProg)
        return;
    m_program = std::move(commProg);
    showProgram(*m_program);
    if (programDialogOpen && programChangedFromOutside)
        programChangedFromOutside(*m_program);
}

void ChannelController::comResults_EndwertRecieved(std::shared_ptr<EntwertList> commEndwertList) {
    if (!commEndwertList)
        commEndwertList = std::make_shared<EntwertList>();
    if (commEndwertList->Count() == 1) {
        auto item = commEndwertList->Item(1);
        writeEndValueToTemp(item);
        m_endwerte->Add(item);
    } else {
        m_endwerte = std::move(commEndwertList);
        for (const auto& ew : *m_endwerte)
            writeEndValueToTemp(ew);
    }
    showEndwertLists();
    bEndwerteAvaiable = true;
}

} // namespace velmara
