#include "base/core/errorlog.h"

#include <QDateTime>
#include <QLocale>

#include <utility>

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

void LogEpisode::occurred(const QString& detail) {
    if (m_count++ > 0)
        return;
    m_began = QDateTime::currentDateTime();
    if (!m_log)
        return;
    m_log->writeSignature(m_logType);
    m_log->writeEntry(QStringLiteral("begins: ") + detail);
}

void LogEpisode::end(const QString& note) {
    if (m_count == 0)
        return;
    const int count = std::exchange(m_count, 0);
    if (!m_log)
        return;
    const qint64 seconds = m_began.secsTo(QDateTime::currentDateTime());
    m_log->writeSignature(m_logType);
    m_log->writeEntry(QStringLiteral("ends after %1 s, %2 in all%3")
                          .arg(seconds)
                          .arg(count)
                          .arg(note.isEmpty() ? QString() : QStringLiteral(": ") + note));
}

} // namespace velmara
