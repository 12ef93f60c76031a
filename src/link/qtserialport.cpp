#include "link/qtserialport.h"

#include "shell/core/programsettings.h"

#include <QDateTime>
#include <QFileInfo>

namespace velmara {

qint64 SystemLinkClock::nowMs() const {
    return QDateTime::currentMSecsSinceEpoch();
}

QtSerialPort::QtSerialPort(const QString& devicePath) : m_path(devicePath) {
    m_port.setPortName(devicePath);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setParity(QSerialPort::EvenParity);
    m_port.setDataBits(QSerialPort::Data7);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

QtSerialPort::~QtSerialPort() {
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialPort::open() {
    clearError();
    if (m_port.isOpen())
        return true;
    if (m_path.isEmpty()) {
        setOwnError(SerialError::DeviceNotFound, QStringLiteral("No device for this port"));
        return false;
    }
    // QSerialPort takes a bare name as /dev/<name>; a full path is used as it is.
    m_port.setPortName(m_path);
    if (!m_port.open(QIODevice::ReadWrite))
        return false;
    // Line settings once more on the open port: some drivers only take them now.
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setParity(QSerialPort::EvenParity);
    m_port.setDataBits(QSerialPort::Data7);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

void QtSerialPort::close() {
    if (m_port.isOpen())
        m_port.close();
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen();
}

bool QtSerialPort::write(const QByteArray& data) {
    if (!m_port.isOpen()) {
        setOwnError(SerialError::NotOpen, QStringLiteral("Port not open"));
        return false;
    }
    if (m_port.write(data) != data.size())
        return false;
    // Hand the whole frame to the driver now; nobody runs the event loop for us.
    m_port.flush();
    return m_port.error() == QSerialPort::NoError;
}

QByteArray QtSerialPort::readAll() {
    if (!m_port.isOpen()) {
        setOwnError(SerialError::NotOpen, QStringLiteral("Port not open"));
        return {};
    }
    return m_port.readAll();
}

bool QtSerialPort::waitForReadyRead(int msecs) {
    if (!m_port.isOpen()) {
        setOwnError(SerialError::NotOpen, QStringLiteral("Port not open"));
        return false;
    }
    if (m_port.bytesAvailable() > 0)
        return true;
    if (m_port.waitForReadyRead(msecs))
        return true;
    if (m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
    return false;
}

void QtSerialPort::discardInput() {
    if (m_port.isOpen()) {
        m_port.readAll();
        m_port.clear(QSerialPort::Input);
    }
}

bool QtSerialPort::deviceExists() const {
    return !m_path.isEmpty() && QFileInfo::exists(m_path);
}

SerialError QtSerialPort::error() const {
    if (m_ownError != SerialError::NoError)
        return m_ownError;
    return static_cast<SerialError>(static_cast<int>(m_port.error()));
}

QString QtSerialPort::errorString() const {
    if (m_ownError != SerialError::NoError)
        return m_ownErrorText;
    return m_port.errorString();
}

void QtSerialPort::clearError() {
    m_ownError = SerialError::NoError;
    m_ownErrorText.clear();
    m_port.clearError();
}

void QtSerialPort::setOwnError(SerialError e, const QString& text) {
    m_ownError = e;
    m_ownErrorText = text;
}

qint16 comPortSetting() {
    bool ok = false;
    const int n = getSetting(QStringLiteral("ComPort")).trimmed().toInt(&ok);
    return ok && n >= -32768 && n <= 32767 ? static_cast<qint16>(n) : 0;
}

QString comDevicePath(int portNumber) {
    if (portNumber < 1)
        return {};
    return getSetting(QStringLiteral("ComDevice") + QString::number(portNumber)).trimmed();
}

std::unique_ptr<SerialPort> makeComPort(int portNumber) {
    return std::make_unique<QtSerialPort>(comDevicePath(portNumber));
}

} // namespace velmara
