#include "base/core/errorlog.h"

#include <QDateTime>
#include <QLocale>

namespace velmara {

void ErrorLog::open(const QString& path) {
    release();
    m_file.setFileName(path);
    (void)m_file.open(QIODevice::Append | QIODevice::WriteOnly);
}

void ErrorLog::release() {
    if (m_file.isOpen())
        m_file.close();
}

void ErrorLog::writeLine(const QString& line) {
    if (!m_file.isOpen())
        return;
    QByteArray bytes = line.toUtf8();
    bytes.append("\r\n");
    if (m_file.write(bytes) == bytes.size())
        m_file.flush();
}

void ErrorLog::writeSignature(const QString& logType) {
    writeLine(QString());
    writeLine(QString(69, QLatin1Char('*')));
    writeLine(QStringLiteral("LogType: ") + logType);
    writeLine(QStringLiteral("Log Writen: ") +
              QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    writeLine(QString());
}

void ErrorLog::writeEntry(const QString& entry) {
    writeLine(entry);
}

} // namespace velmara
