#pragma once
// A measurement series as a CSV file for spreadsheets, and back. The file is
// UTF-8: a header block (battery, series, date, remark, program, mode), one
// header row, then one row per value in recording order. Times in seconds and
// minutes, voltage in V, current in A, capacity in Ah; end values carry their
// kind in the "End value" column (2 after charging, 3 after discharging).
// Reading is strict: a file that is not such a CSV is refused as a whole.
#include "data/loadedmeasurementvalue.h"

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>
#include <QVector>

#include <optional>

namespace velmara {

// A series with everything the user file keeps of it.
struct SeriesFile {
    QString batteryName;
    QString batteryRemark;
    int seriesNumber = 1;
    QString created; // Datum as stored
    QString remark;
    QString program; // Programm as stored (the program text)
    QString mode;
    QVector<LoadedMeasurementValue> values;
};

// Field separator and decimal mark of a file.
struct CsvFormat {
    QChar separator = u';';
    QChar decimal = u',';
};

enum class SeparatorChoice { Locale, Semicolon, Comma, Tab };

// The format for a choice: the locale's own uses ";" with a decimal comma and ","
// with a decimal point; a separator never doubles as the decimal mark.
CsvFormat csvFormatFor(SeparatorChoice choice, const QLocale& locale);

QByteArray writeSeriesCsv(const SeriesFile& series, const CsvFormat& format);

// Why a file was refused; the line counts from 1 (0: the file as a whole).
struct CsvRefusal {
    enum class Reason { NotSeriesFile, NotUtf8, BadHeader, BadRow };
    Reason reason = Reason::NotSeriesFile;
    int line = 0;
};

struct CsvReadResult {
    std::optional<SeriesFile> series;
    CsvRefusal refusal;
};

CsvReadResult readSeriesCsv(const QByteArray& bytes);

// The stored text (MessWertString) of a decoded value; ordinary values have four
// fields, end values five to eight.
QString valueStringOf(const LoadedMeasurementValue& value);

// A file name for a series: "<battery> - <number>.csv", with characters that a
// file name cannot hold replaced by "_".
QString seriesFileName(const QString& batteryName, int seriesNumber);

} // namespace velmara
