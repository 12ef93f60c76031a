#include "exchange/core/seriescsv.h"

#include <QBuffer>
#include <QDateTime>
#include <QIODevice>

#include <limits>

namespace velmara {

namespace {

const QString kVersion = QStringLiteral("1");
constexpr int kHeaderCount = 7;
constexpr int kColumnCount = 10;

// The words of the header block and row in one language.
struct Vocabulary {
    QString magic;
    QString header[kHeaderCount];
    QString columns[kColumnCount];
};

const Vocabulary& vocabulary(bool german) {
    static const Vocabulary english{
        QStringLiteral("velmara series"),
        {"Battery", "Battery remark", "Series", "Date", "Remark", "Program", "Mode"},
        {"Time [s]", "Time [min]", "Voltage [V]", "Current [A]", "Capacity [Ah]", "End value",
         "Duration [s]", "Battery state", "Percent", "Self-discharge [mAh]"}};
    static const Vocabulary deutsch{
        QStringLiteral("velmara Messreihe"),
        {"Akku", "Akku-Bemerkung", "Messreihe", "Datum", "Bemerkung", "Programm", "Mode"},
        {"Zeit [s]", "Zeit [min]", "Spannung [V]", "Strom [A]", QString::fromUtf8("Kapazität [Ah]"),
         "Endwert", "Dauer [s]", "Akkuzustand", "Prozent", "Selbstentladung [mAh]"}};
    return german ? deutsch : english;
}

// value / 10^decimals written with exactly `decimals` digits after the mark.
QString fixed(qint64 value, int decimals, QChar mark) {
    qint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const bool negative = value < 0;
    const qint64 magnitude = negative ? -value : value;
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / scale);
    text += mark;
    text += QStringLiteral("%1").arg(magnitude % scale, decimals, 10, QLatin1Char('0'));
    return text;
}

// Minutes with two decimals, rounded half away from zero.
QString minutes(qint32 seconds, QChar mark) {
    const qint64 hundredths = (qint64(seconds) * 100);
    const qint64 rounded = hundredths >= 0 ? (hundredths + 30) / 60 : -((-hundredths + 30) / 60);
    return fixed(rounded, 2, mark);
}

// A text cell a spreadsheet would evaluate goes behind an apostrophe; a text
// that begins with one gets a second, so the reader can always remove one.
QString neutralised(const QString& text) {
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r'").contains(text[0]))
        return u'\'' + text;
    return text;
}

QString restored(const QString& text) {
    return text.startsWith(u'\'') ? text.mid(1) : text;
}

// Control characters other than tab and line breaks have no place in a text.
bool hasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c.unicode() == 0x7f)
            return true;
    return false;
}

QString quoted(const QString& field, QChar separator) {
    if (!field.contains(separator) && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r'))
        return field;
    QString text = field;
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

QString row(const QStringList& fields, QChar separator) {
    QStringList out;
    out.reserve(fields.size());
    for (const QString& f : fields)
        out << quoted(f, separator);
    return out.join(separator) + u'\n';
}

// Splits one record (without its line end) into fields; false on a quote that
// is never closed or text after a closing quote.
bool splitFields(const QString& text, QChar separator, QStringList* fields) {
    QString field;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (true) {
        if (i < n && text[i] == u'"') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    closed = true;
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (!closed || (i < n && text[i] != separator))
                return false;
        } else {
            const qsizetype end = text.indexOf(separator, i);
            const qsizetype stop = end < 0 ? n : end;
            field = text.mid(i, stop - i);
            i = stop;
        }
        *fields << field;
        field.clear();
        if (i >= n)
            return true;
        ++i; // the separator
    }
}

// Spreadsheets pad short rows with empty fields up to the widest row.
void dropPadding(QStringList* fields, int wanted) {
    while (fields->size() > wanted && fields->last().isEmpty())
        fields->removeLast();
}

bool isBlank(const QStringList& fields) {
    for (const QString& f : fields)
        if (!f.isEmpty())
            return false;
    return true;
}

// A whole number fitting 32 bits: optional "-" and digits only.
bool parseInt(const QString& text, qint32* out) {
    if (text.isEmpty() || text.size() > 11)
        return false;
    int i = text[0] == u'-' ? 1 : 0;
    if (i == text.size())
        return false;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (!text[i].isDigit() || text[i].unicode() > 127)
            return false;
        value = value * 10 + (text[i].unicode() - '0');
    }
    if (text[0] == u'-')
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return false;
    *out = qint32(value);
    return true;
}

// A decimal number with at most `decimals` digits after a "." or "," read as an
// exact whole number of 10^-decimals units.
bool parseFixed(const QString& text, int decimals, qint32* out) {
    qsizetype mark = text.indexOf(u'.');
    if (mark < 0)
        mark = text.indexOf(u',');
    QString whole = mark < 0 ? text : text.left(mark);
    QString fraction = mark < 0 ? QString() : text.mid(mark + 1);
    if (mark >= 0 && (fraction.isEmpty() || fraction.size() > decimals))
        return false;
    if (whole.isEmpty() || whole == QStringLiteral("-"))
        return false;
    for (const QChar c : fraction)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    while (fraction.size() < decimals)
        fraction += u'0';
    const bool negative = whole[0] == u'-';
    qint32 units = 0;
    if (!parseInt(whole, &units))
        return false;
    qint64 value = qint64(negative ? -qint64(units) : units);
    for (int i = 0; i < decimals; ++i)
        value *= 10;
    value += fraction.isEmpty() ? 0 : fraction.toLongLong();
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return false;
    *out = qint32(value);
    return true;
}

bool parseValueRow(const QStringList& f, LoadedMeasurementValue* v) {
    if (f.size() != kColumnCount)
        return false;
    qint32 ignored = 0;
    if (!parseInt(f[0], &v->elapsedSeconds) || !parseFixed(f[1], 2, &ignored) ||
        !parseFixed(f[2], 3, &v->voltageMv) || !parseFixed(f[4], 3, &v->capacityMah))
        return false;
    if (f[5].isEmpty()) { // an ordinary value
        for (int i = 6; i < kColumnCount; ++i)
            if (!f[i].isEmpty())
                return false;
        return parseFixed(f[3], 3, &v->chargeCurrentMa);
    }
    v->isEndValue = true;
    qint32 kind = 0;
    if (!f[3].isEmpty() || !parseInt(f[5], &kind) || kind < -32768 || kind > 32767 ||
        !parseInt(f[6], &v->cycleSeconds))
        return false;
    v->endValueType = qint16(kind);
    if (!f[7].isEmpty()) {
        qint32 percent = 0;
        if ((f[7] != QStringLiteral("T") && f[7] != QStringLiteral("F")) ||
            !parseInt(f[8], &percent) || percent < -32768 || percent > 32767)
            return false;
        v->hasBatteryCondition = true;
        v->batteryCondition = f[7] == QStringLiteral("T");
        v->percent = qint16(percent);
    } else if (!f[8].isEmpty()) {
        return false;
    }
    if (!f[9].isEmpty()) {
        if (!parseInt(f[9], &v->selfDischarge))
            return false;
        v->hasSelfDischarge = true;
    }
    return true;
}

} // namespace

CsvFormat csvFormatFor(SeparatorChoice choice, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    const QChar localeMark = point == QStringLiteral(",") ? u',' : u'.';
    switch (choice) {
    case SeparatorChoice::Semicolon:
        return {u';', localeMark};
    case SeparatorChoice::Comma:
        return {u',', u'.'};
    case SeparatorChoice::Tab:
        return {u'\t', localeMark};
    case SeparatorChoice::Locale:
        break;
    }
    return localeMark == u',' ? CsvFormat{u';', u','} : CsvFormat{u',', u'.'};
}

QByteArray writeSeriesCsv(const SeriesFile& series, const CsvFormat& format) {
    const QChar sep = format.separator;
    const QChar mark = format.decimal;
    const Vocabulary& words = vocabulary(format.language == CsvLanguage::German);
    QString text = row({words.magic, kVersion}, sep);
    const QString header[kHeaderCount] = {neutralised(series.batteryName),
                                          neutralised(series.batteryRemark),
                                          QString::number(series.seriesNumber),
                                          neutralised(series.created),
                                          neutralised(series.remark),
                                          neutralised(series.program),
                                          neutralised(series.mode)};
    for (int i = 0; i < kHeaderCount; ++i)
        text += row({words.header[i], header[i]}, sep);
    text += row(QStringList(std::begin(words.columns), std::end(words.columns)), sep);
    for (const LoadedMeasurementValue& v : series.values) {
        QStringList f;
        f << QString::number(v.elapsedSeconds) << minutes(v.elapsedSeconds, mark)
          << fixed(v.voltageMv, 3, mark);
        if (!v.isEndValue) {
            f << fixed(v.chargeCurrentMa, 3, mark) << fixed(v.capacityMah, 3, mark) << QString()
              << QString() << QString() << QString() << QString();
        } else {
            f << QString() << fixed(v.capacityMah, 3, mark) << QString::number(v.endValueType)
              << QString::number(v.cycleSeconds);
            if (v.hasBatteryCondition)
                f << (v.batteryCondition ? QStringLiteral("T") : QStringLiteral("F"))
                  << QString::number(v.percent);
            else
                f << QString() << QString();
            f << (v.hasSelfDischarge ? QString::number(v.selfDischarge) : QString());
        }
        text += row(f, sep);
    }
    // The mark tells a spreadsheet opened by a double-click that the file is UTF-8.
    return "\xEF\xBB\xBF" + text.toUtf8();
}

bool SeriesCsvReader::refuse(CsvRefusal::Reason reason, int line) {
    m_refusal = {reason, line};
    return false;
}

SeriesCsvReader::Next SeriesCsvReader::nextRecord(Record* record) {
    QString text;
    qsizetype quotes = 0;
    bool any = false;
    record->line = m_line + 1;
    // A quoted field may hold line breaks: a record ends at a line end outside quotes.
    while (!any || quotes % 2 != 0) {
        if (m_device.atEnd()) {
            if (!any)
                return Next::End;
            refuse(CsvRefusal::Reason::BadRow, record->line);
            return Next::Refused;
        }
        QByteArray bytes = m_device.readLine();
        ++m_line;
        if (m_line == 1 && bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        const QString part = m_decoder.decode(bytes);
        if (m_decoder.hasError()) {
            refuse(CsvRefusal::Reason::NotUtf8, m_line);
            return Next::Refused;
        }
        any = true;
        quotes += part.count(u'"');
        text += part;
    }
    if (text.endsWith(u'\n'))
        text.chop(1);
    if (text.endsWith(u'\r'))
        text.chop(1);
    if (m_line == 1) {
        for (const bool german : {false, true}) {
            const QString& magic = vocabulary(german).magic;
            if (text.startsWith(magic) && text.size() > magic.size()) {
                m_german = german;
                m_separator = text[magic.size()];
            }
        }
        if (m_separator != u';' && m_separator != u',' && m_separator != u'\t') {
            refuse(CsvRefusal::Reason::NotSeriesFile, 1);
            return Next::Refused;
        }
    }
    record->fields.clear();
    if (!splitFields(text, m_separator, &record->fields)) {
        refuse(CsvRefusal::Reason::BadRow, record->line);
        return Next::Refused;
    }
    return Next::Record;
}

bool SeriesCsvReader::readHead() {
    Record r;
    const Next first = nextRecord(&r);
    if (first == Next::End)
        return refuse(CsvRefusal::Reason::NotSeriesFile, 1);
    if (first == Next::Refused)
        return false;
    const Vocabulary& words = vocabulary(m_german);
    dropPadding(&r.fields, 2);
    if (r.fields != QStringList{words.magic, kVersion})
        return refuse(CsvRefusal::Reason::NotSeriesFile, 1);

    QString header[kHeaderCount];
    int lines[kHeaderCount] = {};
    for (int i = 0; i < kHeaderCount; ++i) {
        const Next next = nextRecord(&r);
        if (next == Next::Refused)
            return false;
        if (next == Next::End)
            return refuse(CsvRefusal::Reason::BadHeader, m_line + 1);
        dropPadding(&r.fields, 2);
        if (r.fields.size() != 2 || r.fields[0] != words.header[i])
            return refuse(CsvRefusal::Reason::BadHeader, r.line);
        if (hasControlCharacter(r.fields[1]))
            return refuse(CsvRefusal::Reason::ControlCharacter, r.line);
        header[i] = restored(r.fields[1]);
        lines[i] = r.line;
    }
    m_head.batteryName = header[0];
    m_head.batteryRemark = header[1];
    qint32 number = 0;
    if (!parseInt(header[2], &number) || number < 1)
        return refuse(CsvRefusal::Reason::BadHeader, lines[2]);
    m_head.seriesNumber = number;
    // An empty date is the time of the import; any other is a date and time.
    if (!header[3].isEmpty() && !QDateTime::fromString(header[3], Qt::ISODate).isValid())
        return refuse(CsvRefusal::Reason::BadDate, lines[3]);
    m_head.created = header[3];
    m_head.remark = header[4];
    m_head.program = header[5];
    m_head.mode = header[6];

    const Next columns = nextRecord(&r);
    if (columns == Next::Refused)
        return false;
    dropPadding(&r.fields, kColumnCount);
    if (columns == Next::End ||
        r.fields != QStringList(std::begin(words.columns), std::end(words.columns)))
        return refuse(CsvRefusal::Reason::BadHeader, columns == Next::End ? m_line + 1 : r.line);
    return true;
}

SeriesCsvReader::Status SeriesCsvReader::readValues(int maxValues,
                                                    QVector<LoadedMeasurementValue>* out) {
    Record r;
    for (int n = 0; n < maxValues;) {
        const Next next = nextRecord(&r);
        if (next == Next::Refused)
            return Status::Refused;
        if (next == Next::End)
            return Status::Done;
        // Blank lines at the end, as spreadsheets leave them, are no values.
        if (isBlank(r.fields)) {
            if (m_blankSince == 0)
                m_blankSince = r.line;
            continue;
        }
        if (m_blankSince != 0) {
            refuse(CsvRefusal::Reason::BadRow, m_blankSince);
            return Status::Refused;
        }
        dropPadding(&r.fields, kColumnCount);
        LoadedMeasurementValue v;
        if (!parseValueRow(r.fields, &v)) {
            refuse(CsvRefusal::Reason::BadRow, r.line);
            return Status::Refused;
        }
        out->append(v);
        ++n;
    }
    return Status::More;
}

CsvReadResult readSeriesCsv(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    SeriesCsvReader reader(buffer);
    CsvReadResult result;
    if (!reader.readHead()) {
        result.refusal = reader.refusal();
        return result;
    }
    SeriesFile series = reader.head();
    if (reader.readValues(std::numeric_limits<int>::max(), &series.values) !=
        SeriesCsvReader::Status::Done) {
        result.refusal = reader.refusal();
        return result;
    }
    result.series = std::move(series);
    return result;
}

QString valueStringOf(const LoadedMeasurementValue& v) {
    const auto n = [](qint64 x) { return QString::number(x); };
    if (!v.isEndValue)
        return n(v.capacityMah) + u';' + n(v.voltageMv) + u';' + n(v.chargeCurrentMa) + u';' +
               n(v.elapsedSeconds);
    QString text = n(v.endValueType) + u';' + n(v.capacityMah) + u';' + n(v.voltageMv) + u';' +
                   n(v.elapsedSeconds) + u';' + n(v.cycleSeconds);
    if (v.hasBatteryCondition)
        text += (v.batteryCondition ? QStringLiteral(";T;") : QStringLiteral(";F;")) + n(v.percent);
    if (v.hasSelfDischarge)
        text += u';' + n(v.selfDischarge);
    return text;
}

QString seriesFileName(const QString& batteryName, int seriesNumber) {
    QString name = batteryName.trimmed();
    for (QChar& c : name)
        if (c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = u'_';
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(u'_');
    return name + QStringLiteral(" - ") + QString::number(seriesNumber) + QStringLiteral(".csv");
}

} // namespace velmara
