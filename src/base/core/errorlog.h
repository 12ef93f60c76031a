#pragma once
// The error log: a plain text file in the program folder for diagnostic entries.
// It never disturbs the program: a log that cannot be written is silently skipped.
#include <QFile>
#include <QString>

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

} // namespace velmara
