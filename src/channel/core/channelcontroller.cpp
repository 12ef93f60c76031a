#include "channel/core/channelcontroller.h"
#include "data/stores/batteryrecords.h"
#include "channel/core/channelstep.h"
#include "channel/core/recordingmark.h"
#include "channel/core/statedisplay.h"
#include "data/endvaluelines.h"
#include "data/settingsstore.h"

#include "base/core/formatting.h"
#include "base/core/messages.h"
#include "data/databases.h"
#include "data/session.h"
#include "link/chargerlink.h"
#include "link/turnqueue.h"
#include "storage/database.h"
#include "storage/recordset.h"

namespace velmara {

ChannelController::ChannelController(Session& session, ChannelCode code, ChargerLink* link,
                                     ChannelHost& host, ChannelDisplay& display, Clock clock,
                                     QObject* parent)
    : QObject(parent), m_session(session), m_code(code), m_first(m_code.number() == 1),
      m_link(link), m_host(host), m_display(display),
      m_recorder(session, m_code.text(), host, display, std::move(clock),
                 [this] { return requestProgram(); }),
      m_status(std::make_unique<StatusRecord>()),
      m_program(std::make_shared<ProgramRecord>(defaultEndOfCharge(m_session.settings()))),
      m_endValues(std::make_shared<EndValueList>()) {
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

ChargerLink* ChannelController::link() const {
    return m_link;
}

void ChannelController::load(bool startTimer) {
    m_headingResetPending = false;
    m_endValuesAvailable = m_programDialogOpen = m_measurementRunning = false;
    m_recorder.reset();
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
    if (ChannelCode::fromText(answer.section(QLatin1Char(','), 0, 0).trimmed()) != m_code)
        return QStringLiteral("-1");
    return answer;
}

// One request of this channel; "" without a link or when the controller went
// away while it waited.
QCoro::Task<QString> ChannelController::request(LinkRequest ask) {
    if (!m_link)
        co_return QString();
    const auto alive = m_alive;
    const QString answer = co_await (m_link->*ask)(m_code);
    co_return *alive ? ownAnswer(answer) : QString();
}

QCoro::Task<QString> ChannelController::requestStatus() {
    return request(&ChargerLink::getStatus);
}

QCoro::Task<QString> ChannelController::requestEndValues() {
    return request(&ChargerLink::getEndValues);
}

QCoro::Task<QString> ChannelController::requestProgram() {
    return request(&ChargerLink::getProgram);
}

// Asks for the running program, parses it into the program record and shows it.
QCoro::Task<> ChannelController::readProgram() {
    const auto alive = m_alive;
    QString answer = co_await requestProgram();
    if (!*alive)
        co_return;
    m_program->parse(answer, true);
    m_programAnswer = answer;
    showProgram(*m_program);
}

// Asks for the end values; a readable answer goes to the end-value handler.
QCoro::Task<> ChannelController::readEndValues(bool emptyFirst) {
    const auto alive = m_alive;
    QString answer = co_await requestEndValues();
    if (!*alive)
        co_return;
    auto list = std::make_shared<EndValueList>();
    if (!list->parse(answer))
        co_return;
    if (emptyFirst) {
        // The lists are read anew after the charger was silent: end values the
        // channel knew already are in the temporary series, and stay there once.
        const std::shared_ptr<EndValueList> known = m_endValues;
        m_endValues = std::make_shared<EndValueList>();
        auto fresh = std::make_shared<EndValueList>();
        for (const auto& ew : *list) {
            if (const qint32 id = storedIdOf(*known, *ew)) {
                ew->tempId = id;
                m_endValues->append(ew);
            } else {
                fresh->append(ew);
            }
        }
        if (fresh->isEmpty()) {
            showEndValueLists();
            m_endValuesAvailable = !m_endValues->isEmpty();
            co_return;
        }
        if (!m_endValues->isEmpty()) {
            for (const auto& ew : *fresh) {
                writeEndValueToTemp(ew);
                m_endValues->append(ew);
            }
            showEndValueLists();
            m_endValuesAvailable = true;
            co_return;
        }
        list = fresh;
    }
    onEndValueAnswer(list);
}

// The row of an equal end value of the list that is already stored; 0 when none.
qint32 ChannelController::storedIdOf(const EndValueList& list, const EndValueRecord& ew) {
    for (const auto& known : list)
        if (known->tempId > 0 && known->channelCode == ew.channelCode &&
            known->endValueType == ew.endValueType && known->capacityMah == ew.capacityMah &&
            known->cycleSeconds == ew.cycleSeconds && known->voltageMv == ew.voltageMv &&
            known->selfDischarge == ew.selfDischarge &&
            known->hasBatteryCondition == ew.hasBatteryCondition &&
            known->batteryCondition == ew.batteryCondition && known->percent == ew.percent)
            return known->tempId;
    return 0;
}

void ChannelController::newStatusRecord() {
    m_status = std::make_unique<StatusRecord>();
    connect(m_status.get(), &StatusRecord::programReceived, this,
            &ChannelController::onProgramAnswer, Qt::DirectConnection);
    connect(m_status.get(), &StatusRecord::endValuesReceived, this,
            &ChannelController::onEndValueAnswer, Qt::DirectConnection);
}

void ChannelController::setPollInterval(int ms) {
    if (m_pollTimer.interval() != ms)
        m_pollTimer.setInterval(ms);
}

// ---------------------------------------------------------------- init and tick

namespace {

// A channel at rest (idle, finished, stopped by a fault) that charges or
// discharges has begun a new run.
bool beginsRun(ChargerState before, ChargerState now) {
    const bool rest = before == ChargerState::Idle || before == ChargerState::Finished ||
                      before == ChargerState::Fault;
    return rest && (now == ChargerState::Charging || now == ChargerState::Discharging);
}

} // namespace

QCoro::Task<> ChannelController::initChannel() {
    const auto alive = m_alive;
    const auto turn = m_turn;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    {
        const Step step(*this, turn, alive, granted);
        if (!step.runs())
            co_return;
        co_await runInit();
    }
    if (*alive)
        co_await offerResume(); // asks outside the turn: the other channels go on
}

QCoro::Task<> ChannelController::runInit() {
    const auto alive = m_alive;
    m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
    newStatusRecord();
    m_program = std::make_shared<ProgramRecord>(defaultEndOfCharge(m_session.settings()));
    m_programUnknown = false; // read now
    m_endValues = std::make_shared<EndValueList>();
    m_recorder.startNewTempSeries(true);

    if (!m_first && m_host.chargerMissing()) {
        // Channel 1 has found no charger: no request at all.
        m_status->answerType = StatusRecord::NoAnswer;
        m_program->batteryType = ProgramRecord::NoAnswer;
        showProgram(*m_program);
    } else {
        co_await readProgram();
        if (!*alive)
            co_return;
        if (m_program->batteryType == ProgramRecord::NoAnswer) {
            m_status->answerType = StatusRecord::NoAnswer;
            if (m_first) {
                m_host.setChargerMissing(true);
                setPollInterval(SilentInterval);
            }
        } else {
            co_await readEndValues(false);
            if (!*alive)
                co_return;
            QString answer = co_await requestStatus();
            if (!*alive)
                co_return;
            m_status->parse(answer);
            if (m_first)
                m_host.setChargerMissing(false);
        }
    }
    showStatus(*m_status);
    // The first reading of a charging or discharging channel is shown, so it is
    // stored like every later one.
    m_recorder.writeTempValue(*m_status);
}

bool ChannelController::asksProgramFirst() const {
    return m_programUnknown || m_program->batteryType == ProgramRecord::BadAnswer ||
           m_program->batteryType == ProgramRecord::NoAnswer;
}

QCoro::Task<> ChannelController::tick() {
    if (m_tickActive || (!m_first && m_host.chargerMissing()))
        co_return;
    const auto alive = m_alive;
    const auto turn = m_turn;
    m_tickActive = true;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    {
        const Step step(*this, turn, alive, granted);
        if (step.runs())
            co_await runTick();
    }
    if (!*alive)
        co_return;
    m_tickActive = false;
    if (!m_resumeChecked)
        co_await offerResume(); // the charger was silent at the start
}

// After a restart: the channel's first state answer tells whether the charger
// still runs the process whose series was recorded when the program ended. The
// user decides whether that series goes on; otherwise the channel starts as
// without a recording.
QCoro::Task<> ChannelController::offerResume() {
    const qint16 kind = m_status->answerType;
    if (m_resumeChecked ||
        (kind != StatusRecord::Status && kind != StatusRecord::StatusWithoutValues))
        co_return;
    m_resumeChecked = true;
    const std::optional<RecordingMark> mark = m_recorder.storedMark();
    if (!mark || m_recorder.isRecording() || m_recorder.isQueued())
        co_return;
    // The series as the user data has it. A server that cannot be asked now
    // does not end the recording: the question names the battery by its number.
    QString battery = QStringLiteral("#%1").arg(mark->batteryId);
    QString number = QStringLiteral("?");
    QString remark;
    bool exists = m_session.onServer(); // a user file that cannot be read: gone
    BatteryRecords& records = m_session.stores().batteries();
    if (const auto series = records.seriesById(mark->seriesId); series) {
        exists = *series && (*series)->batteryId == mark->batteryId;
        if (exists) {
            number = QString::number((*series)->number);
            remark = (*series)->remark;
            if (const auto all = records.batteries(); all)
                for (const BatteryRow& row : *all)
                    if (row.id == mark->batteryId)
                        battery = row.name;
        }
    }
    if (!continuesRecording(*mark, m_programAnswer, m_status->state(), exists,
                            m_recorder.currentTime())) {
        m_recorder.forgetStoredMark(true);
        co_return;
    }
    Message question;
    question.key = QStringLiteral("4402");
    question.text = m_session.text(question.key).arg(channelCaption(), battery, number);
    question.title = m_session.text(QStringLiteral("0410"));
    question.icon = MsgIcon::Question;
    question.buttons = MsgButtons::YesNo;
    const auto alive = m_alive;
    const MsgAnswer answer = m_session.prompter().show(question);
    if (!*alive)
        co_return;
    if (answer != MsgAnswer::Yes || m_recorder.isRecording() || m_recorder.isQueued()) {
        m_recorder.forgetStoredMark(true);
        co_return;
    }
    const auto turn = m_turn;
    ++m_stepsActive;
    const bool granted = co_await turn->acquire();
    const Step step(*this, turn, alive, granted);
    if (!step.runs())
        co_return;
    m_recorder.resume(*mark);
    setValuesFrameHeading(battery, remark, number);
}

QCoro::Task<> ChannelController::runTick() {
    // Channel 1 may have found the charger gone while this tick waited.
    if (!m_first && m_host.chargerMissing())
        co_return;
    const auto alive = m_alive;
    m_recorder.retryWaitingValues();

    const qint16 antwortTyp = m_status->answerType;
    const qint16 akkuTyp = m_program->batteryType;
    if (akkuTyp == ProgramRecord::ChannelFault || antwortTyp == StatusRecord::NoAnswer) {
        // Probe: is there a charger, and what does the channel run?
        co_await readProgram();
        if (!*alive)
            co_return;
        if (m_program->batteryType == ProgramRecord::NoAnswer) {
            m_status->answerType = StatusRecord::NoAnswer;
            if (m_first) {
                ++m_noAnswerCount;
                if (m_noAnswerCount >= SilentProbesBeforeChargerMissing) {
                    m_host.setChargerMissing(true);
                    setPollInterval(SilentInterval);
                }
            } else {
                setPollInterval(OtherSilentInterval);
            }
        } else {
            co_await readEndValues(true);
            if (!*alive)
                co_return;
            QString answer = co_await requestStatus();
            if (!*alive)
                co_return;
            m_status->parse(answer);
            if (m_first) {
                co_await readProgram();
                if (!*alive)
                    co_return;
                m_noAnswerCount = 0;
                m_host.setChargerMissing(false);
            }
            setPollInterval(NormalInterval);
        }
    } else {
        m_noAnswerCount = 0;
        // The program is asked again before the status when the channel does
        // not know it (an answer that could not be read, came from another
        // channel or not at all) and when a new run has begun: a program set
        // at the charger's keys starts one without telling the computer.
        if (asksProgramFirst()) {
            m_programUnknown = false;
            co_await readProgram();
            if (!*alive)
                co_return;
        }
        QString answer = co_await requestStatus();
        if (!*alive)
            co_return;
        const ChargerState oldState = m_status->state();
        m_status->parse(answer);
        if (m_status->channelCode != m_code)
            co_return;
        if (m_status->answerType == StatusRecord::BadAnswer) {
            answer = co_await requestStatus();
            if (!*alive)
                co_return;
            m_status->parse(answer);
            if (m_status->answerType == StatusRecord::BadAnswer)
                co_return;
        }
        if (oldState == ChargerState::Idle && m_status->state() != ChargerState::Idle)
            resetForNewRun();
        if (beginsRun(oldState, m_status->state()))
            m_programUnknown = true;
    }

    setFlashing(m_status->answerType != StatusRecord::NoAnswer);
    showStatus(*m_status);
    m_recorder.writeTempValue(*m_status);
    if (m_recorder.isRecording()) {
        co_await m_recorder.writeValue(*m_status, *m_endValues);
        if (!*alive)
            co_return;
    } else if (!m_recorder.isQueued() && m_headingResetPending) {
        m_display.setText(ChannelField::MesswerteHeading, headingWithoutRecording());
        m_display.setText(ChannelField::Bemerkung, QString());
    }
    m_headingResetPending = false;
    m_display.polled(*m_status);
}

// ---------------------------------------------------------------- display

QString ChannelController::headingWithoutRecording() const {
    return m_session.text(QStringLiteral("0818")) + QStringLiteral(" - ") +
           m_session.text(QStringLiteral("0820"));
}

void ChannelController::showState(const QString& key, bool fault) {
    const QString text = m_session.text(key);
    m_display.setText(ChannelField::Status, text);
    m_display.setFaultState(fault);
    m_host.setStatusbarText(m_code.text(), text, fault);
}

void ChannelController::clearLiveValues() {
    m_display.setText(ChannelField::Spannung, QString());
    m_display.setText(ChannelField::Strom, QString());
    m_display.setText(ChannelField::Kapazitaet, QString());
}

void ChannelController::showLiveValues(const StatusRecord& status) {
    m_display.setText(ChannelField::Spannung, formatVoltString(status.voltageMv));
    m_display.setText(ChannelField::Strom, formatAmpereString(status.currentMa));
    m_display.setText(ChannelField::Kapazitaet, formatAmpereHourString(status.capacityMah));
}

void ChannelController::showBatteryState(ChargerFault flag) {
    if (flag == ChargerFault::BatteryGood)
        m_display.setText(ChannelField::Akkuzustand, m_session.text(QStringLiteral("0870")));
    else if (flag == ChargerFault::BatteryWeak)
        m_display.setText(ChannelField::Akkuzustand, m_session.text(QStringLiteral("0872")));
}

// The channel's caption ("Kanal 1" .. "Kanal 4"), which names it in its boxes.
QString ChannelController::channelCaption() const {
    return m_session.text(
        QString::number(801 - m_code.number()).rightJustified(4, QLatin1Char('0')));
}

// The box of a fault, which names the channel; the window shows it once per
// fault episode.
Message ChannelController::faultBox(const char* key, const char* secondKey) const {
    Message m;
    m.key = QString::fromLatin1(key);
    m.text = channelCaption() + QStringLiteral(": ") + m_session.text(m.key);
    if (secondKey)
        m.text += QStringLiteral("\n\n") + m_session.text(QString::fromLatin1(secondKey));
    m.title = m_session.text(QStringLiteral("0120"));
    m.icon = MsgIcon::Critical;
    m.buttons = MsgButtons::Ok;
    return m;
}

void ChannelController::showNoAnswer() {
    for (ChannelField f : {ChannelField::AkkuTyp, ChannelField::Mode, ChannelField::NennKapazitaet,
                           ChannelField::Bemerkung, ChannelField::Kapazitaet,
                           ChannelField::Spannung, ChannelField::Strom})
        m_display.setText(f, QString());
    m_display.setValuesStale(false);
    showState(QString::fromLatin1(kNoAnswerStateKey));
    m_measurementRunning = false;
    m_recorder.startNewTempSeries();
}

void ChannelController::showStatus(StatusRecord& status) {
    if (m_program->batteryType == ProgramRecord::ChannelFault) {
        status.answerType = StatusRecord::Status;
        status.setState(ChargerState::Fault);
        status.setFault(ChargerFault::NoBattery);
    }
    if (status.channelCode != m_code || status.answerType == StatusRecord::NoAnswer) {
        showNoAnswer();
        return;
    }
    const std::optional<StateDisplay> row =
        stateDisplayOf(status.answerType, status.state(), status.fault());
    if (!row)
        return;
    showState(QString::fromLatin1(row->stateKey), row->fault);
    switch (row->values) {
    case StateDisplay::Values::Show:
        showLiveValues(status);
        break;
    case StateDisplay::Values::Clear:
        clearLiveValues();
        break;
    default:
        break;
    }
    m_display.setValuesStale(row->values == StateDisplay::Values::Stale);
    if (row->batteryState)
        showBatteryState(status.fault());
    if (row->running != StateDisplay::Running::Keep)
        m_measurementRunning = row->running == StateDisplay::Running::Set;
    if (row->recording == StateDisplay::Recording::Stop ||
        (row->recording == StateDisplay::Recording::StopInStorageMode &&
         m_program->deviceMode == kStorageMode))
        m_recorder.stop();
    if (row->resetHeading)
        m_headingResetPending = true;
    if (row->stopFlashing)
        setFlashing(false);
    if (row->newTempSeries)
        m_recorder.startNewTempSeries();
    if (row->boxKey)
        m_display.reportFault(status.faultCode, faultBox(row->boxKey, row->boxSecondKey));
    else
        m_display.reportFault(0, Message());
}

void ChannelController::showProgram(const ProgramRecord& program) {
    if (program.channelCode != m_code)
        return;
    if (program.batteryType == ProgramRecord::BadAnswer ||
        program.batteryType == ProgramRecord::ChannelFault) {
        m_display.setText(ChannelField::AkkuTyp, QString());
        m_display.setText(ChannelField::Mode, QString());
        m_display.setText(ChannelField::NennKapazitaet, QStringLiteral("---"));
        return;
    }
    QString typeText;
    if (program.batteryType == 5) {
        typeText = m_session.text(QStringLiteral("0912"));
    } else if (Recordset* types = m_session.recordsets().akkutypen.get()) {
        types->moveFirst();
        if (types->findFirstEqual(QStringLiteral("Nr"), program.batteryType))
            typeText = types->text(QStringLiteral("ResourceText"));
    }
    m_display.setText(ChannelField::AkkuTyp, typeText);
    m_display.setText(ChannelField::Mode, modeTextOf(program));
    m_display.setText(ChannelField::NennKapazitaet,
                      program.capacityMah == ProgramRecord::Absent
                          ? QStringLiteral("---")
                          : formatAmpereHourString(program.capacityMah));
}

void ChannelController::showEndValueLists() {
    QList<EndValueDisplayLine> laden, entladen;
    const EndValueList& list = *m_endValues;
    if (!list.isEmpty() && list.first()->channelCode == m_code) {
        int nLaden = 0, nEntladen = 0;
        if (list.first()->endValueType == EndValueRecord::AfterDischarge)
            laden.append({QStringLiteral("---"), 0}), nLaden = 1;
        for (const auto& ew : list) {
            if (ew->endValueType == EndValueRecord::AfterDischarge)
                entladen.append({formatEndValueLine(++nEntladen, *ew), ew->tempId});
            else
                laden.append({formatEndValueLine(++nLaden, *ew), ew->tempId});
        }
        const EndValueRecord& last = *list.last();
        if (last.hasBatteryCondition) {
            m_display.setVisible(ChannelField::Akkuzustand, true);
            m_display.setText(ChannelField::Akkuzustand,
                              m_session.text(last.batteryCondition ? QStringLiteral("0847")
                                                                   : QStringLiteral("0846")) +
                                  QStringLiteral(" (") + QString::number(last.percent) +
                                  QStringLiteral("%)"));
        } else {
            m_display.setVisible(ChannelField::Akkuzustand, false);
        }
        if (last.selfDischarge == -1) {
            m_display.setVisible(ChannelField::Selbstentladung, false);
        } else {
            m_display.setVisible(ChannelField::Selbstentladung, true);
            m_display.setText(ChannelField::Selbstentladung,
                              QString::number(last.selfDischarge) + QStringLiteral(" mAh"));
        }
    }
    m_display.setEndValueLines(laden, entladen);
}

void ChannelController::setFlashing(bool on) {
    if (on) {
        if (!m_flashingTimer.isActive())
            m_flashingTimer.start();
    } else {
        m_flashingTimer.stop();
        m_lit = false;
        m_display.setHeartbeat(false);
    }
}

void ChannelController::flashingTick() {
    m_lit = !m_lit;
    m_display.setHeartbeat(m_lit);
}

// ---------------------------------------------------------------- openings from the window

bool ChannelController::tryBeginDiagram() {
    if (m_diagramBusy)
        return false;
    m_diagramBusy = true;
    return true;
}

// An end value goes to the temporary series; its list line learns the row's
// key once the row is on disk.
void ChannelController::writeEndValueToTemp(const std::shared_ptr<EndValueRecord>& endValue) {
    m_recorder.writeEndValueToTemp(endValue, [this] { showEndValueLists(); });
}

// ---------------------------------------------------------------- answers in place of a status

void ChannelController::onProgramAnswer(std::shared_ptr<ProgramRecord> program) {
    if (!program)
        return;
    m_program = std::move(program);
    showProgram(*m_program);
    if (m_programDialogOpen && programChangedFromOutside)
        programChangedFromOutside(*m_program);
}

void ChannelController::onEndValueAnswer(std::shared_ptr<EndValueList> endValues) {
    if (!endValues)
        endValues = std::make_shared<EndValueList>();
    if (endValues->size() == 1) {
        auto item = endValues->first();
        writeEndValueToTemp(item);
        m_endValues->append(item);
    } else {
        m_endValues = std::move(endValues);
        for (const auto& ew : *m_endValues)
            writeEndValueToTemp(ew);
    }
    showEndValueLists();
    m_endValuesAvailable = true;
}

} // namespace velmara
