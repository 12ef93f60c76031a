#include "link/velmaracomcommunication.h"

#include "link/fieldtext.h"
#include "link/qtserialport.h"

#include <QCoreApplication>

#include <algorithm>

namespace velmara {

namespace {

// While channel 1 waits with the user interface alive, the wait is cut into
// slices so pending events are handled at least this often.
constexpr int kYieldSliceMs = 50;

class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyFlag() { m_flag = false; }

private:
    bool& m_flag;
};

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

VelmaraComCommunication::VelmaraComCommunication(std::unique_ptr<SerialPort> port,
                                                 std::shared_ptr<LinkClock> clock)
    : m_port(std::move(port)), m_clock(std::move(clock)) {
    m_portNumber = comPortSetting();
    if (!m_port)
        m_port = makeComPort(m_portNumber);
    if (!m_clock)
        m_clock = std::make_shared<SystemLinkClock>();
}

VelmaraComCommunication::~VelmaraComCommunication() = default;

bool VelmaraComCommunication::reopenPort(std::unique_ptr<SerialPort> port) {
    if (m_port->isOpen())
        m_port->close();
    if (m_busy) {
        // Channel 1's wait lets events run: the port changed from in there.
        // Its request ends without an answer; the old port lives until then.
        m_requestAborted = true;
        m_retiredPort = std::move(m_port);
    }
    m_portNumber = comPortSetting();
    m_port = port ? std::move(port) : makeComPort(m_portNumber);
    m_portLost = false;
    return openComPort();
}

bool VelmaraComCommunication::openComPort() {
    if (m_port->isOpen())
        return true;
    const bool ok = m_port->open();
    if (ok)
        m_portLost = false;
    m_port->clearError();
    return ok;
}

void VelmaraComCommunication::closeComPort() {
    m_port->close();
    m_portLost = false; // closed on purpose: no automatic reopening
}

bool VelmaraComCommunication::isComPortOpen() const {
    return m_port->isOpen();
}

bool VelmaraComCommunication::sendString(QString& strMessage) {
    if (m_busy)
        return false;
    BusyFlag busy(m_busy);
    m_faultInRequest = false;
    return writeFrame(strMessage);
}

QString VelmaraComCommunication::getStatus(const QString& strFrom) {
    return request(strFrom + QStringLiteral(",M"), QString(), false);
}

QString VelmaraComCommunication::getEndwert(const QString& strFrom) {
    return request(strFrom + QStringLiteral(",D"), QString(), false);
}

QString VelmaraComCommunication::getProgram(const QString& strFrom, bool noQmt) {
    return request(strFrom + QStringLiteral(",W"), strFrom, noQmt);
}

QString VelmaraComCommunication::sendProgram(const QString& strProgram) {
    return request(strProgram, QString(), false);
}

QString VelmaraComCommunication::request(const QString& body, const QString& channel, bool noQmt) {
    // The only way in while a request waits is the yield of channel 1 (or a
    // message box): such a request must not reach the line.
    if (m_busy)
        return QString();
    BusyFlag busy(m_busy);
    m_faultInRequest = false;
    m_requestAborted = false;
    QString message = body;
    writeFrame(message);
    const QString answer = waitForAnswer(channel, noQmt);
    m_retiredPort.reset();
    if (m_requestAborted)
        return QString();
    if (!m_faultInRequest && m_faultReported) {
        m_faultReported = false; // the line works again: the next fault is news
        Q_EMIT lineRecovered();
    }
    return answer;
}

bool VelmaraComCommunication::writeFrame(QString& message) {
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

QString VelmaraComCommunication::waitForAnswer(const QString& channel, bool noQmt) {
    const bool yield = noQmt && channel == QLatin1String("001");
    const qint64 startMs = m_clock->nowMs();
    const qint64 deadlineMs = (floorDiv(startMs, 1000) + 2) * 1000;
    QString collected;
    for (;;) {
        if (yield) {
            QCoreApplication::processEvents();
            if (m_requestAborted)
                return QString();
        }
        const QByteArray chunk = m_port->readAll();
        if (m_port->error() != SerialError::NoError) {
            serialFault();
            return QString();
        }
        collected += fieldtext::trimSpaces(QString::fromLatin1(chunk));
        if (collected.contains(QLatin1Char(ETX)))
            break;
        const qint64 now = m_clock->nowMs();
        if (now >= deadlineMs || now < startMs) // time is up (or the clock was set back)
            break;
        int remaining = static_cast<int>(std::min<qint64>(deadlineMs - now, 2000));
        if (yield)
            remaining = std::min(remaining, kYieldSliceMs);
        if (!m_port->waitForReadyRead(remaining) && m_port->error() != SerialError::NoError) {
            serialFault();
            return QString();
        }
    }
    return unwrapAnswer(collected);
}

QString VelmaraComCommunication::unwrapAnswer(const QString& collected) {
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

void VelmaraComCommunication::serialFault() {
    m_faultInRequest = true;
    const SerialError e = m_port->error();
    const QString description = m_port->errorString();
    m_port->clearError();
    if (e == SerialError::Resource || (m_port->isOpen() && !m_port->deviceExists())) {
        // The device went away: close it, a later request reopens it once it is back.
        m_port->close();
        m_portLost = true;
    }
    if (m_faultReported)
        return;
    m_faultReported = true;
    Q_EMIT lineFault(static_cast<int>(e), description, m_portLost);
}

} // namespace velmara
