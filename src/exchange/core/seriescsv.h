#pragma once
// A measurement series as a CSV file for spreadsheets, and back. The file is
// UTF-8 with a byte-order mark: a header block (battery, series, date, remark,
// program, mode), one header row, then one row per value in recording order.
// Times in seconds and minutes, voltage in V, current in A, capacity in Ah; end
// values carry their kind in the "End value" column (2 after charging, 3 after
// discharging, other kinds as the charger reported them). The header block and
// row are written in English or German; the reader takes either.
// Text cells that a spreadsheet would take for a formula (= + - @ tab CR) are
// written behind an apostrophe, which the reader removes again.
// Reading is strict: a file that is not such a CSV is refused as a whole.
#include "data/loadedmeasurementvalue.h"

#include <QByteArray>
#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringDecoder>
#include <QVector>

#include <optional>

class QIODevice;

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

enum class CsvLanguage { English, German };

// Field separator, decimal mark and the language of the header block.
struct CsvFormat {
    QChar separator = u';';
    QChar decimal = u',';
    CsvLanguage language = CsvLanguage::English;
};

enum class SeparatorChoice { Locale, Semicolon, Comma, Tab };

// The format for a choice: the locale's own uses ";" with a decimal comma and ","
// with a decimal point; a separator never doubles as the decimal mark.
CsvFormat csvFormatFor(SeparatorChoice choice, const QLocale& locale);

QByteArray writeSeriesCsv(const SeriesFile& series, const CsvFormat& format);

// Why a file was refused; the line counts from 1 (0: the file as a whole).
struct CsvRefusal {
    enum class Reason { NotSeriesFile, NotUtf8, BadHeader, BadRow, BadDate, ControlCharacter };
    Reason reason = Reason::NotSeriesFile;
    int line = 0;
};

struct CsvReadResult {
    std::optional<SeriesFile> series;
    CsvRefusal refusal;
};

// Reads a whole file held in memory.
CsvReadResult readSeriesCsv(const QByteArray& bytes);

// Reads a file from a device a line at a time: first the head (everything but
// the values), then the values in portions, so a large file is never held whole.
class SeriesCsvReader {
public:
    enum class Status { More, Done, Refused };

    explicit SeriesCsvReader(QIODevice& device) : m_device(device) {}
    // Reads up to the header row; false (refusal() set) when the file refuses.
    bool readHead();
    // The series without its values, after readHead().
    const SeriesFile& head() const { return m_head; }
    // Appends up to maxValues further values to out.
    Status readValues(int maxValues, QVector<LoadedMeasurementValue>* out);
    const CsvRefusal& refusal() const { return m_refusal; }

private:
    struct Record {
        QStringList fields;
        int line = 0;
    };
    enum class Next { Record, End, Refused };
    Next nextRecord(Record* record);
    bool refuse(CsvRefusal::Reason reason, int line);

    QIODevice& m_device;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    QChar m_separator;
    int m_line = 0;        // lines read so far
    int m_blankSince = 0;  // the first of the blank lines read last (0: none)
    bool m_german = false; // the language of the header block
    SeriesFile m_head;
    CsvRefusal m_refusal;
};

// The stored text (MessWertString) of a decoded value; ordinary values have four
// fields, end values five to eight.
QString valueStringOf(const LoadedMeasurementValue& value);

// A file name for a series: "<battery> - <number>.csv", with characters that a
// file name cannot hold replaced by "_".
QString seriesFileName(const QString& batteryName, int seriesNumber);

} // namespace velmara
