#pragma once
// The serial port of the program: QSerialPort on a device path, 9600 baud, even
// parity, 7 data bits, 1 stop bit, no flow control.
#include "link/serialport.h"

#include <QSerialPort>
#include <QTimer>

#include <coroutine>
#include <memory>

namespace velmara {

class QtSerialPort : public SerialPort {
public:
    explicit QtSerialPort(const QString& devicePath);
    ~QtSerialPort() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    bool write(const QByteArray& data) override;
    QByteArray readAll() override;
    QCoro::Task<bool> waitForReadyReadAsync(int msecs) override;
    void discardInput() override;
    QString devicePath() const override { return m_path; }
    bool deviceExists() const override;
    SerialError error() const override;
    QString errorString() const override;
    void clearError() override;

    const QSerialPort& port() const { return m_port; }

private:
    void setOwnError(SerialError e, const QString& text);
    void applyLineSettings();
    void wake(); // ends the wait in progress

    QString m_path;
    QSerialPort m_port;
    SerialError m_ownError = SerialError::NoError; // faults found before Qt saw them
    QString m_ownErrorText;
    QTimer m_waitTimer;
    std::coroutine_handle<> m_waiter; // the wait in progress
};


} // namespace velmara
