#pragma once
// The error log: a plain text file in the program folder for diagnostic entries.
// It never disturbs the program: a log that cannot be written is silently skipped.
#include <QDateTime>
#include <QFile>
#include <QString>

#include <utility>

namespace velmara {

class ErrorLog {
public:
    void open(const QString& path); // opens for appending (creates the file)
    void release();                 // closes the file
    bool isOpen() const { return m_file.isOpen(); }

    // Five lines: empty, 69 asterisks, "LogType: <type>", "Log Writen: <now>", empty.
    void writeSignature(const QString& logType);
    void writeEntry(const QString& entry);

private:
    void writeLine(const QString& line);
    QFile m_file;
};

// A fault that repeats (values the file refuses, a silent line, garbled
// answers) goes into the log twice: once when it begins and once when it ends,
// with how often it happened and for how long, instead of once per occurrence.
// The log outlives the episode (an episode still going ends in the destructor).
class LogEpisode {
public:
    LogEpisode(ErrorLog* log, QString logType) : m_log(log), m_logType(std::move(logType)) {}
    ~LogEpisode() { end(QStringLiteral("still going when the program ended")); }
    LogEpisode(const LogEpisode&) = delete;
    LogEpisode& operator=(const LogEpisode&) = delete;

    void setLog(ErrorLog* log) { m_log = log; }
    // One more occurrence; the first of an episode writes the entry "begins: detail".
    void occurred(const QString& detail);
    // Ends an episode that is going on with the entry "ends after S s, N in all: note".
    void end(const QString& note = QString());
    bool isGoing() const { return m_count > 0; }
    int count() const { return m_count; }

private:
    ErrorLog* m_log;
    QString m_logType;
    int m_count = 0;
    QDateTime m_began;
};

} // namespace velmara
