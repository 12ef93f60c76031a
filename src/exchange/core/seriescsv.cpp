#include "exchange/core/seriescsv.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <limits>

namespace velmara {

namespace {

const QString kMagic = QStringLiteral("velmara series");
const QString kVersion = QStringLiteral("1");
const char* const kHeaderKeys[] = {"Battery", "Battery remark", "Series", "Date",
                                   "Remark",  "Program",        "Mode"};
constexpr int kHeaderCount = int(std::size(kHeaderKeys));
const char* const kColumns[] = {
    "Time [s]",  "Time [min]",   "Voltage [V]",   "Current [A]", "Capacity [Ah]",
    "End value", "Duration [s]", "Battery state", "Percent",     "Self-discharge [mAh]"};
constexpr int kColumnCount = int(std::size(kColumns));

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

// One record of the file with the line it starts on.
struct Record {
    QStringList fields;
    int line = 0;
};

// Splits the text into records; false on a quote that is never closed or text
// after a closing quote.
bool splitRecords(const QString& text, QChar separator, QVector<Record>* records) {
    Record current{{}, 1};
    QString field;
    int line = 1;
    int i = 0;
    const int n = int(text.size());
    bool fieldStarted = false;
    auto endRecord = [&] {
        current.fields << field;
        records->append(current);
        current = Record{{}, line};
        field.clear();
        fieldStarted = false;
    };
    while (i < n) {
        const QChar c = text[i];
        if (c == u'"' && !fieldStarted && field.isEmpty()) {
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
                if (text[i] == u'\n')
                    ++line;
                field += text[i++];
            }
            if (!closed)
                return false;
            fieldStarted = true;
            if (i < n && text[i] != separator && text[i] != u'\n' && text[i] != u'\r')
                return false;
            continue;
        }
        if (c == separator) {
            current.fields << field;
            field.clear();
            fieldStarted = false;
            ++i;
        } else if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
            ++i;
        } else if (c == u'\n') {
            ++line;
            endRecord();
            ++i;
        } else {
            field += c;
            fieldStarted = true;
            ++i;
        }
    }
    if (fieldStarted || !current.fields.isEmpty())
        endRecord();
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
    const qsizetype mark = text.indexOf(QRegularExpression(QStringLiteral("[.,]")));
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
    if (!f[3].isEmpty() || !parseInt(f[5], &kind) || kind < 0 || kind > 32767 ||
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
        // -1 stands for "no result" in the user file and is never stored.
        if (!parseInt(f[9], &v->selfDischarge) || v->selfDischarge == -1)
            return false;
        v->hasSelfDischarge = true;
    }
    return true;
}

CsvReadResult refuse(CsvRefusal::Reason reason, int line) {
    CsvReadResult result;
    result.refusal = {reason, line};
    return result;
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
    QString text = row({kMagic, kVersion}, sep);
    const QString header[kHeaderCount] = {
        series.batteryName, series.batteryRemark, QString::number(series.seriesNumber),
        series.created,     series.remark,        series.program,
        series.mode};
    for (int i = 0; i < kHeaderCount; ++i)
        text += row({QString::fromLatin1(kHeaderKeys[i]), header[i]}, sep);
    QStringList columns;
    for (const char* c : kColumns)
        columns << QString::fromLatin1(c);
    text += row(columns, sep);
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
    return text.toUtf8();
}

CsvReadResult readSeriesCsv(const QByteArray& bytes) {
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(data);
    if (decoder.hasError())
        return refuse(CsvRefusal::Reason::NotUtf8, 0);
    if (!text.startsWith(kMagic) || text.size() <= kMagic.size())
        return refuse(CsvRefusal::Reason::NotSeriesFile, 1);
    const QChar sep = text[kMagic.size()];
    if (sep != u';' && sep != u',' && sep != u'\t')
        return refuse(CsvRefusal::Reason::NotSeriesFile, 1);

    QVector<Record> records;
    if (!splitRecords(text, sep, &records))
        return refuse(CsvRefusal::Reason::BadRow, records.isEmpty() ? 1 : records.last().line + 1);
    if (records.isEmpty() || records[0].fields != QStringList{kMagic, kVersion})
        return refuse(CsvRefusal::Reason::NotSeriesFile, 1);

    SeriesFile series;
    QString header[kHeaderCount];
    for (int i = 0; i < kHeaderCount; ++i) {
        const int at = i + 1;
        if (at >= records.size())
            return refuse(CsvRefusal::Reason::BadHeader, records.last().line + 1);
        const Record& r = records[at];
        if (r.fields.size() != 2 || r.fields[0] != QString::fromLatin1(kHeaderKeys[i]))
            return refuse(CsvRefusal::Reason::BadHeader, r.line);
        header[i] = r.fields[1];
    }
    series.batteryName = header[0];
    series.batteryRemark = header[1];
    qint32 number = 0;
    if (!parseInt(header[2], &number) || number < 1)
        return refuse(CsvRefusal::Reason::BadHeader, records[3].line);
    series.seriesNumber = number;
    series.created = header[3];
    series.remark = header[4];
    series.program = header[5];
    series.mode = header[6];

    const int columnsAt = kHeaderCount + 1;
    if (columnsAt >= records.size())
        return refuse(CsvRefusal::Reason::BadHeader, records.last().line + 1);
    QStringList columns;
    for (const char* c : kColumns)
        columns << QString::fromLatin1(c);
    if (records[columnsAt].fields != columns)
        return refuse(CsvRefusal::Reason::BadHeader, records[columnsAt].line);

    // Blank lines at the end, as spreadsheets leave them, are no values.
    while (records.size() > columnsAt + 1 && records.last().fields == QStringList{QString()})
        records.removeLast();
    for (int i = columnsAt + 1; i < records.size(); ++i) {
        LoadedMeasurementValue v;
        if (!parseValueRow(records[i].fields, &v))
            return refuse(CsvRefusal::Reason::BadRow, records[i].line);
        series.values.append(v);
    }
    CsvReadResult result;
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
