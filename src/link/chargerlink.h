#pragma once
// The one serial link to the charger: frames requests, writes them, waits for
// the answer frame and hands back its payload. Strictly request/answer; one
// request at a time on the line. Requests are awaited: while one waits for its
// answer the event loop runs, and further requests wait their turn in order.
#include "base/core/errorlog.h"
#include "link/chargermodel.h"
#include "link/serialport.h"
#include "link/turnqueue.h"

#ifndef Q_MOC_RUN
#include <QCoro/QCoroTask>
#endif
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace velmara {

// The link lives as long as the program: a new port choice changes its port
// (reopenPort), never the object, so whoever holds the link keeps a valid one.
class ChargerLink : public QObject {
    Q_OBJECT
public:
    static constexpr char DC2 = 0x12; // first byte of a request
    static constexpr char DC4 = 0x14; // first byte of an answer
    static constexpr char ETX = 0x03;
    static constexpr char CR = 0x0D;
    static constexpr char SEP = ',';

    // Takes the port over (the one of COM portNumber, 0 when it is no COM port).
    // The port is not opened here.
    explicit ChargerLink(std::unique_ptr<SerialPort> port,
                         std::shared_ptr<LinkClock> clock = nullptr, qint16 portNumber = 0);
    ~ChargerLink() override;

    bool openComPort(); // true on success; no message
    void closeComPort();
    bool isComPortOpen() const;

    // Closes the port and opens the one given (COM portNumber). The request on
    // the line ends at once without an answer; the requests waiting behind it go
    // on over the new port. True when the port is open.
    bool reopenPort(std::unique_ptr<SerialPort> port, qint16 portNumber = 0);

    // The requests. Each answers with the payload followed by its closing ",",
    // "" when nothing came within the wait, "-1" for a malformed frame. A request
    // made while the line is taken waits its turn behind the ones before it.
    // The texts are copied at once: the caller need not keep them.
    // A request for no channel gets "" without touching the line.
    QCoro::Task<QString> getStatus(ChannelCode channel);
    QCoro::Task<QString> getEndValues(ChannelCode channel);
    QCoro::Task<QString> getProgram(ChannelCode channel);
    QCoro::Task<QString> sendProgram(const QString& programText);

    // Ends the request on the line and every waiting one at once with "";
    // requests made afterwards get "" without touching the line. For the end of
    // the program.
    void endAllRequests();

    // Where outages, silence and unreadable answers are logged (once when they
    // begin, once when they end); the log outlives the link.
    void setLog(ErrorLog* log);

    qint16 portNumber() const { return m_portNumber; }
    SerialPort& port() { return *m_port; }
    // A request is on the line or waits for it.
    bool isBusy() const { return m_line.held() || m_line.waiting() > 0; }
    int requestsWaiting() const { return m_line.waiting(); }
    // A serial fault has been reported and no request has succeeded since.
    bool faultReported() const { return m_faultReported; }

Q_SIGNALS:
    // The serial layer failed (once per outage: not again until a request has
    // gone through without a fault). errorNumber/description are the serial
    // layer's; portLost: the device went away and is reopened once it is back.
    void lineFault(int errorNumber, const QString& description, bool portLost);
    // A request went through without a fault after an outage was reported.
    void lineRecovered();

public:
    // Unwraps one collected answer text (the steps after the wait): "" when
    // empty, "-1" when not a frame DC4 SEP ... SEP ETX, else payload + ",".
    static QString unwrapAnswer(const QString& collected);

private:
    QCoro::Task<QString> request(QString body);
    QCoro::Task<QString> channelRequest(ChannelCode channel, char kind);
    bool writeFrame(QString& message);
    QCoro::Task<QString> waitForAnswer();
    void serialFault();
    void logAnswer(const QString& asked, const QString& answer);

    std::unique_ptr<SerialPort> m_port;
    std::shared_ptr<LinkClock> m_clock;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    TurnQueue m_line; // the turn on the line
    qint16 m_portNumber = 0;
    bool m_ending = false;        // endAllRequests: nothing reaches the line any more
    bool m_faultReported = false; // one message per outage
    bool m_faultInRequest = false;
    bool m_portLost = false;           // the device went away; reopen when it is back
    bool m_requestAborted = false;     // the request on the line was ended from outside
    bool m_switchingPort = false;      // reopenPort is closing the port a request waits on
    bool m_lineLeftToSwitch = false;   // ... and that request has left the line to it
    SerialPort* m_waitingOn = nullptr; // the port the request on the line waits on
    std::vector<std::unique_ptr<SerialPort>> m_retired; // ports replaced under a waiting request
    LogEpisode m_faultEpisode{nullptr, QStringLiteral("Serial line fault")};
    LogEpisode m_silenceEpisode{nullptr, QStringLiteral("Charger does not answer")};
    LogEpisode m_garbledEpisode{nullptr, QStringLiteral("Unreadable answers")};
};

} // namespace velmara
