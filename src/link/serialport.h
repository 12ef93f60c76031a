#pragma once
// The serial line to the charger as the link sees it: open, close, write one
// request, take what is waiting, await more. The program uses the QSerialPort
// implementation (qtserialport.h); tests use an in-memory fake (tests/support/fake_serial_port.h).
#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QString>

namespace velmara {

// Faults of the serial layer. The numbers are the ones the user sees in the
// fault message ("9" + CR + description); they follow QSerialPort's numbering.
enum class SerialError : int {
    NoError = 0,
    DeviceNotFound = 1,
    Permission = 2,
    Open = 3,
    Write = 7,
    Read = 8,
    Resource = 9, // the device went away (USB adapter pulled, pty closed)
    UnsupportedOperation = 10,
    Unknown = 11,
    Timeout = 12,
    NotOpen = 13,
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes the whole text in one write; false (error set) on a fault.
    virtual bool write(const QByteArray& data) = 0;
    // Everything waiting in the receive buffer, possibly nothing; never blocks.
    // On a fault the result is empty and error() tells why.
    virtual QByteArray readAll() = 0;
    // Awaits bytes for at most msecs without blocking the thread. True when bytes
    // wait; false on timeout (error() stays NoError), on a fault (error() set) or
    // when the port is closed meanwhile (close() ends the wait at once).
    virtual QCoro::Task<bool> waitForReadyReadAsync(int msecs) = 0;
    // Throws away whatever has been received and not read yet.
    virtual void discardInput() = 0;

    // The device path behind the port and whether it exists right now.
    virtual QString devicePath() const = 0;
    virtual bool deviceExists() const = 0;

    virtual SerialError error() const = 0;
    virtual QString errorString() const = 0;
    virtual void clearError() = 0;
    int errorNumber() const { return static_cast<int>(error()); }
};

// Time as the link's wait sees it: milliseconds of the wall clock. The wait
// counts whole clock seconds, so tests drive it with a fake clock.
class LinkClock {
public:
    virtual ~LinkClock() = default;
    virtual qint64 nowMs() const = 0;
};

class SystemLinkClock : public LinkClock {
public:
    qint64 nowMs() const override;
};

} // namespace velmara
