#include "link/qtserialport.h"

#include "link/resumelater.h"

#include <QDateTime>
#include <QFileInfo>

namespace velmara {

qint64 SystemLinkClock::nowMs() const {
    return QDateTime::currentMSecsSinceEpoch();
}

QtSerialPort::QtSerialPort(const QString& devicePath) : m_path(devicePath) {
    m_port.setPortName(devicePath);
    applyLineSettings();
    m_waitTimer.setSingleShot(true);
    m_waitTimer.setTimerType(Qt::PreciseTimer); // the wait ends on whole clock seconds
    QObject::connect(&m_waitTimer, &QTimer::timeout, &m_port, [this] { wake(); });
}

QtSerialPort::~QtSerialPort() {
    close();
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
    applyLineSettings();
    return true;
}

// The charger's line: 9600 baud, 7 data bits, even parity, one stop bit, no
// flow control.
void QtSerialPort::applyLineSettings() {
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setParity(QSerialPort::EvenParity);
    m_port.setDataBits(QSerialPort::Data7);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::close() {
    if (m_port.isOpen())
        m_port.close();
    wake();
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

QCoro::Task<bool> QtSerialPort::waitForReadyReadAsync(int msecs) {
    if (!m_port.isOpen()) {
        setOwnError(SerialError::NotOpen, QStringLiteral("Port not open"));
        co_return false;
    }
    if (m_port.bytesAvailable() > 0)
        co_return true;
    if (m_waiter)
        co_return false; // one wait at a time
    const auto onData =
        QObject::connect(&m_port, &QSerialPort::readyRead, &m_port, [this] { wake(); });
    const auto onError = QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                                          [this](QSerialPort::SerialPortError e) {
                                              if (e != QSerialPort::NoError)
                                                  wake();
                                          });
    m_waitTimer.start(std::max(msecs, 0));
    co_await ResumeLater{m_waiter};
    QObject::disconnect(onData);
    QObject::disconnect(onError);
    m_waitTimer.stop();
    if (!m_port.isOpen())
        co_return false; // closed meanwhile
    if (m_port.bytesAvailable() > 0)
        co_return true;
    if (m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
    co_return false;
}

void QtSerialPort::wake() {
    if (std::coroutine_handle<> h = std::exchange(m_waiter, {}))
        h.resume();
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

} // namespace velmara
