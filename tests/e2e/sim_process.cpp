#include "sim_process.h"

#include "link/qtserialport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace velmara::test {

SimulatedCharger::~SimulatedCharger() {
    stop();
}

bool SimulatedCharger::available() {
    const QString bin = qEnvironmentVariable("VELMARA_BIN_DIR");
    m_binary = QDir(bin).filePath(QStringLiteral("velmara-charger-sim"));
    if (bin.isEmpty() || !QFileInfo(m_binary).isExecutable()) {
        m_error = QStringLiteral("charger simulator not built: ") + m_binary;
        return false;
    }
    return true;
}

bool SimulatedCharger::launch(const QString& linkPath, const QStringList& arguments) {
    if (m_binary.isEmpty() && !available())
        return false;
    m_linkPath = linkPath;
    m_process.start(m_binary, QStringList{QStringLiteral("--link"), linkPath} + arguments);
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("simulator did not start: ") + m_process.errorString();
        return false;
    }
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(linkPath) && t.elapsed() < 5000)
        QThread::msleep(20);
    if (!QFileInfo::exists(linkPath)) {
        m_error = QStringLiteral("no pseudo-terminal from the simulator");
        return false;
    }
    return true;
}

bool SimulatedCharger::start(const QString& folder, const QStringList& arguments) {
    if (!launch(QDir(folder).filePath(QStringLiteral("charger")), arguments))
        return false;
    m_link = std::make_unique<ChargerLink>(std::make_unique<QtSerialPort>(m_linkPath));
    if (!m_link->openComPort()) {
        m_error = QStringLiteral("the link to the simulator does not open");
        return false;
    }
    return true;
}

void SimulatedCharger::command(const QByteArray& line) {
    m_process.write(line + '\n');
    m_process.waitForBytesWritten(1000);
}

void SimulatedCharger::stop() {
    m_link.reset();
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("quit\n");
    if (!m_process.waitForFinished(3000)) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill(), m_process.waitForFinished(3000);
    }
}

} // namespace velmara::test
