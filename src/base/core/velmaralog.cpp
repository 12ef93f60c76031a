#include "base/core/velmaralog.h"

#include <QDateTime>
#include <QLocale>

namespace velmara {

VelmaraLog& VelmaraLog::instance() {
    static VelmaraLog log;
    return log;
}

void VelmaraLog::open(const QString& path) {
    release();
    m_file.setFileName(path);
    (void)m_file.open(QIODevice::Append | QIODevice::WriteOnly);
}

void VelmaraLog::release() {
    if (m_file.isOpen())
        m_file.close();
}

void VelmaraLog::writeLine(const QString& line) {
    if (!m_file.isOpen())
        return;
    QByteArray bytes = line.toUtf8();
    bytes.append("\r\n");
    if (m_file.write(bytes) == bytes.size())
        m_file.flush();
}

void VelmaraLog::writeLogSignature(const QString& logType) {
    writeLine(QString());
    writeLine(QString(69, QLatin1Char('*')));
    writeLine(QStringLiteral("LogType: ") + logType);
    writeLine(QStringLiteral("Log Writen: ") +
              QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    writeLine(QString());
}

void VelmaraLog::writeLogEntry(const QString& entry) {
    writeLine(entry);
}

} // namespace velmara
