#pragma once
// The one serial link to the charger: frames requests, writes them, waits for
// the answer frame and hands back its payload. Strictly request/answer; one
// request at a time on the line.
#include "link/serialport.h"

#include <QObject>
#include <QString>

#include <memory>

namespace velmara {

// The link lives as long as the program: a new port choice changes its port
// (reopenPort), never the object, so whoever holds the link keeps a valid one.
class VelmaraComCommunication : public QObject {
    Q_OBJECT
public:
    static constexpr char DC2 = 0x12; // first byte of a request
    static constexpr char DC4 = 0x14; // first byte of an answer
    static constexpr char ETX = 0x03;
    static constexpr char CR = 0x0D;
    static constexpr char SEP = ',';

    // Takes the port over. Without a port, the port of COM n (setting ComPort)
    // is made through the settings ComDevice1..4. The port is not opened here.
    explicit VelmaraComCommunication(std::unique_ptr<SerialPort> port = nullptr,
                                     std::shared_ptr<LinkClock> clock = nullptr);
    ~VelmaraComCommunication() override;

    bool openComPort(); // true on success; no message
    void closeComPort();
    bool isComPortOpen() const;

    // Closes the port and opens the one of the current setting ComPort (or the
    // port given). A request waiting on the line ends at once without an
    // answer; its port is kept until it has returned. True when the port is open.
    bool reopenPort(std::unique_ptr<SerialPort> port = nullptr);

    // Frames the body as DC2 "," body "," ETX CR and writes it in one write; the
    // argument receives the framed text. False when nothing was written.
    bool sendString(QString& strMessage);

    // The requests. Each returns the answer's payload followed by its closing
    // ",", "" when nothing came within the wait, "-1" for a malformed frame.
    // A request made while another one waits returns "" and leaves the line alone.
    QString getStatus(const QString& strFrom);
    QString getEndwert(const QString& strFrom);
    // noQmt: channel "001" keeps the user interface alive while it waits.
    QString getProgram(const QString& strFrom, bool noQmt = false);
    QString sendProgram(const QString& strProgram);

    qint16 portNumber() const { return m_portNumber; }
    SerialPort& port() { return *m_port; }
    bool isBusy() const { return m_busy; }
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
    QString request(const QString& body, const QString& channel, bool noQmt);
    bool writeFrame(QString& message);
    QString waitForAnswer(const QString& channel, bool noQmt);
    void serialFault();

    std::unique_ptr<SerialPort> m_port;
    std::shared_ptr<LinkClock> m_clock;
    qint16 m_portNumber = 0;
    bool m_busy = false;
    bool m_faultReported = false; // one message per outage
    bool m_faultInRequest = false;
    bool m_portLost = false;                   // the device went away; reopen when it is back
    bool m_requestAborted = false;             // the port was changed under the waiting request
    std::unique_ptr<SerialPort> m_retiredPort; // the port of that request
};

} // namespace velmara
