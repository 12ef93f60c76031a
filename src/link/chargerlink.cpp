#include "link/chargerlink.h"

#include "link/fieldtext.h"

#include <algorithm>

namespace velmara {

namespace {

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

ChargerLink::ChargerLink(std::unique_ptr<SerialPort> port, std::shared_ptr<LinkClock> clock,
                         qint16 portNumber)
    : m_port(std::move(port)), m_clock(std::move(clock)), m_portNumber(portNumber) {
    if (!m_clock)
        m_clock = std::make_shared<SystemLinkClock>();
}

ChargerLink::~ChargerLink() {
    // Whoever still awaits an answer gets "" and leaves this object alone.
    *m_alive = false;
    endAllRequests();
}

void ChargerLink::setLog(ErrorLog* log) {
    for (LogEpisode* episode : {&m_faultEpisode, &m_silenceEpisode, &m_garbledEpisode})
        episode->setLog(log);
}

void ChargerLink::endAllRequests() {
    m_ending = true;
    if (m_line.held()) {
        m_requestAborted = true;
        if (m_waitingOn)
            m_waitingOn->close(); // ends its wait at once
    }
    m_line.cancelAll();
}

bool ChargerLink::reopenPort(std::unique_ptr<SerialPort> port, qint16 portNumber) {
    // Ports replaced earlier are no longer waited on unless one still is.
    std::erase_if(m_retired, [this](const auto& p) { return p.get() != m_waitingOn; });
    std::unique_ptr<SerialPort> old = std::move(m_port);
    m_portNumber = portNumber;
    m_port = std::move(port);
    m_portLost = false;
    // The old port is closed before the new one opens: both may be the same device.
    if (m_line.held() && m_waitingOn == old.get()) {
        // The request on the line ends without an answer and leaves the line
        // to this switch; the ones behind it go out once the new port is open.
        // The old port lives until its wait has ended.
        m_requestAborted = true;
        m_switchingPort = true;
        SerialPort* waitedOn = old.get();
        m_retired.push_back(std::move(old));
        waitedOn->close();
    } else if (old->isOpen()) {
        old->close();
    }
    const bool ok = openComPort();
    m_switchingPort = false;
    if (std::exchange(m_lineLeftToSwitch, false))
        m_line.release();
    return ok;
}

bool ChargerLink::openComPort() {
    if (m_port->isOpen())
        return true;
    const bool ok = m_port->open();
    if (ok)
        m_portLost = false;
    m_port->clearError();
    return ok;
}

void ChargerLink::closeComPort() {
    if (m_line.held() && m_waitingOn == m_port.get())
        m_requestAborted = true; // the request waiting on this port ends without an answer
    m_port->close();
    m_portLost = false; // closed on purpose: no automatic reopening
}

bool ChargerLink::isComPortOpen() const {
    return m_port->isOpen();
}

QCoro::Task<QString> ChargerLink::getStatus(ChannelCode channel) {
    return channelRequest(channel, 'M');
}

QCoro::Task<QString> ChargerLink::getEndValues(ChannelCode channel) {
    return channelRequest(channel, 'D');
}

QCoro::Task<QString> ChargerLink::getProgram(ChannelCode channel) {
    return channelRequest(channel, 'W');
}

// No channel answers a frame without a valid code; it never goes on the line.
QCoro::Task<QString> ChargerLink::channelRequest(ChannelCode channel, char kind) {
    if (!channel.isValid())
        co_return QString();
    co_return co_await request(channel.text() + QLatin1Char(',') + QLatin1Char(kind));
}

QCoro::Task<QString> ChargerLink::sendProgram(const QString& programText) {
    return request(programText);
}

QCoro::Task<QString> ChargerLink::request(QString body) {
    if (m_ending)
        co_return QString();
    const std::shared_ptr<bool> alive = m_alive;
    const bool granted = co_await m_line.acquire();
    if (!*alive || !granted)
        co_return QString(); // given up while waiting: the line was never ours
    if (m_ending) {
        m_line.release();
        co_return QString();
    }
    m_faultInRequest = false;
    m_requestAborted = false;
    const QString asked = body;
    QString message = std::move(body);
    writeFrame(message);
    const QString answer = co_await waitForAnswer();
    if (!*alive)
        co_return QString();
    const bool aborted = m_requestAborted;
    m_requestAborted = false;
    if (!aborted && !m_faultInRequest && m_faultReported) {
        m_faultReported = false; // the line works again: the next fault is news
        Q_EMIT lineRecovered();
    }
    if (!aborted && !m_faultInRequest && !m_ending)
        logAnswer(asked, answer);
    if (aborted && m_switchingPort)
        m_lineLeftToSwitch = true; // reopenPort hands the line on over the new port
    else
        m_line.release(); // the next request goes on the line now
    co_return aborted ? QString() : answer;
}

bool ChargerLink::writeFrame(QString& message) {
    if (m_portLost && !m_port->isOpen() && m_port->deviceExists()) {
        if (m_port->open())
            m_portLost = false;
        m_port->clearError();
    }
    // An answer that came too late for the previous request must not pass for
    // the answer to this one.
    if (m_port->isOpen())
        m_port->discardInput();

    QByteArray frame;
    frame.reserve(message.size() + 5);
    frame += DC2;
    frame += SEP;
    frame += message.toLatin1();
    frame += SEP;
    frame += ETX;
    frame += CR;
    message = QString::fromLatin1(frame);
    if (m_port->write(frame))
        return true;
    serialFault();
    return false;
}

// Collects one answer: until an ETX is in, or until the clock (in whole seconds)
// stands two seconds past the start, so a silent charger costs one to two seconds.
QCoro::Task<QString> ChargerLink::waitForAnswer() {
    const std::shared_ptr<bool> alive = m_alive;
    const qint64 startMs = m_clock->nowMs();
    const qint64 deadlineMs = (floorDiv(startMs, 1000) + 2) * 1000;
    QString collected;
    for (;;) {
        const QByteArray chunk = m_port->readAll();
        if (m_port->error() != SerialError::NoError) {
            serialFault();
            co_return QString();
        }
        collected += fieldtext::trimSpaces(QString::fromLatin1(chunk));
        if (collected.contains(QLatin1Char(ETX)))
            break;
        const qint64 now = m_clock->nowMs();
        if (now >= deadlineMs || now < startMs) // time is up (or the clock was set back)
            break;
        const int remaining = static_cast<int>(std::min<qint64>(deadlineMs - now, 2000));
        SerialPort* port = m_port.get();
        m_waitingOn = port;
        const bool ready = co_await port->waitForReadyReadAsync(remaining);
        if (!*alive)
            co_return QString();
        m_waitingOn = nullptr;
        if (m_requestAborted)
            co_return QString();
        if (!ready && port->error() != SerialError::NoError) {
            serialFault();
            co_return QString();
        }
    }
    co_return unwrapAnswer(collected);
}

QString ChargerLink::unwrapAnswer(const QString& collected) {
    if (collected.isEmpty())
        return QString();
    const qsizetype p20 = collected.indexOf(QLatin1Char(DC4));
    const qsizetype p3 = collected.indexOf(QLatin1Char(ETX));
    if (p20 < 0 || p3 < 0 || p20 > p3)
        return QStringLiteral("-1");
    // A DC4 right before the ETX has no separator on either side.
    if (p3 - p20 < 2 || collected.at(p20 + 1) != QLatin1Char(SEP) ||
        collected.at(p3 - 1) != QLatin1Char(SEP))
        return QStringLiteral("-1");
    // DC4 SEP payload SEP ETX: from just after the opening SEP up to and
    // including the closing one.
    return collected.mid(p20 + 2, p3 - p20 - 2);
}

void ChargerLink::serialFault() {
    const bool firstInRequest = !m_faultInRequest;
    m_faultInRequest = true;
    const SerialError e = m_port->error();
    const QString description = m_port->errorString();
    m_port->clearError();
    if (e == SerialError::Resource || (m_port->isOpen() && !m_port->deviceExists())) {
        // The device went away: close it, a later request reopens it once it is back.
        m_port->close();
        m_portLost = true;
    }
    if (firstInRequest)
        m_faultEpisode.occurred(QStringLiteral("%1: %2 - %3")
                                    .arg(m_port->devicePath())
                                    .arg(static_cast<int>(e))
                                    .arg(description));
    if (m_faultReported)
        return;
    m_faultReported = true;
    Q_EMIT lineFault(static_cast<int>(e), description, m_portLost);
}

// A request answered without a serial fault ends an outage; silence and
// answers that are no frame are episodes of their own.
void ChargerLink::logAnswer(const QString& asked, const QString& answer) {
    m_faultEpisode.end(QStringLiteral("the line works again"));
    if (answer.isEmpty()) {
        m_silenceEpisode.occurred(QStringLiteral("no answer to %1").arg(asked));
        return;
    }
    m_silenceEpisode.end(QStringLiteral("the charger answers again"));
    if (answer == QLatin1String("-1"))
        m_garbledEpisode.occurred(QStringLiteral("the answer to %1 is no frame").arg(asked));
    else
        m_garbledEpisode.end(QStringLiteral("the answers can be read again"));
}

} // namespace velmara
