#include "charts/core/seriesreader.h"

#include <limits>

namespace velmara {

namespace {

// A whole number with an optional leading "-", digits only, fitting 32 bits.
bool parseField(const char*& p, const char* end, qint32* out) {
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    const char* digits = p;
    qint64 value = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
        ++p;
    }
    if (p == digits)
        return false;
    if (p < end && *p != ';')
        return false;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return false;
    *out = qint32(value);
    return true;
}

} // namespace

bool decodeOrdinaryValue(const char* text, int length, SeriesSample* sample) {
    if (!text)
        return false;
    const char* p = text;
    const char* end = text + length;
    qint32 fields[4];
    for (int i = 0; i < 4; ++i) {
        if (!parseField(p, end, &fields[i]))
            return false;
        if (i < 3) {
            if (p == end)
                return false; // too few fields
            ++p;              // the ";"
        }
    }
    sample->milliampereHours = fields[0];
    sample->millivolt = fields[1];
    sample->milliampere = fields[2];
    sample->seconds = fields[3];
    return true;
}

SeriesReader::SeriesReader() = default;
SeriesReader::~SeriesReader() = default;

SeriesReader::Status SeriesReader::fail(const QString& error) {
    m_error = error;
    m_done = true;
    m_cursor.reset();
    return Status::Failed;
}

bool SeriesReader::start(ValueStore& values, const ValueSelection& selection, QString* error) {
    m_samples.clear();
    m_damaged = 0;
    m_error.clear();
    m_done = false;
    m_cursor.reset();
    auto failed = [&](const QString& why) {
        fail(why);
        if (error)
            *error = m_error;
        return false;
    };
    ValueRange range;
    range.table = valueTableOf(selection.tempCreated);
    range.seriesId = selection.seriesId;
    range.afterId = selection.afterId;
    range.beforeId = selection.beforeId;
    range.kind = ValueRange::Kind::Ordinary;

    // Values recorded from now on do not belong to this diagram.
    const auto last = values.lastValueId(range.table, range.seriesId);
    if (!last)
        return failed(last.error());
    if (!*last) {
        m_done = true; // no rows at all
        return true;
    }
    if (**last < range.beforeId)
        range.beforeId = **last + 1;
    auto cursor = values.openStretch(range);
    if (!cursor)
        return failed(cursor.error());
    m_cursor = std::move(*cursor);
    return true;
}

SeriesReader::Status SeriesReader::readSome(int maxRows) {
    if (!m_error.isEmpty())
        return Status::Failed;
    if (m_done)
        return Status::Done;
    if (!m_cursor)
        return fail(QStringLiteral("The read was not started."));
    const int wanted = maxRows < 1 ? 1 : maxRows;
    const Result<int> rows = m_cursor->read(wanted, [this](const StoredValueView& value) {
        SeriesSample sample;
        if (decodeOrdinaryValue(value.text.data(), int(value.text.size()), &sample))
            m_samples.push_back(sample);
        else
            ++m_damaged;
        return true;
    });
    if (!rows)
        return fail(rows.error());
    if (*rows < wanted) {
        m_done = true;
        m_cursor.reset();
        return Status::Done;
    }
    return Status::More;
}

SeriesReader::Status SeriesReader::readAll() {
    Status status;
    while ((status = readSome(1 << 16)) == Status::More) {
    }
    return status;
}

} // namespace velmara
