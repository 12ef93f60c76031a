#include "charts/core/seriesreader.h"

#include "storage/database.h"
#include "storage/sqlitevalue.h"

#include <sqlcipher/sqlite3.h>

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

struct SeriesReader::StatementHolder {
    storage::Statement stmt;
};

SeriesReader::SeriesReader() = default;
SeriesReader::~SeriesReader() = default;

SeriesReader::Status SeriesReader::fail(const QString& error) {
    m_error = error;
    m_done = true;
    m_stmt.reset();
    return Status::Failed;
}

bool SeriesReader::start(Database& user, const ValueSelection& selection, QString* error) {
    m_db = &user;
    m_samples.clear();
    m_damaged = 0;
    m_error.clear();
    m_done = false;
    m_seriesId = selection.seriesId;
    m_lastId = selection.afterId;
    m_beforeId = selection.beforeId;
    m_stmt = std::make_unique<StatementHolder>();
    const QString table = valueTableName(selection.tempCreated);

    // Values recorded from now on do not belong to this diagram.
    storage::Statement top;
    QString failure;
    if (!top.prepare(
            user.handle(),
            QStringLiteral("SELECT max(MessWertId) FROM %1 WHERE MessReiheID = ?1").arg(table),
            &failure) ||
        !top.bind({QVariant(m_seriesId)}, &failure)) {
        fail(failure);
        if (error)
            *error = m_error;
        return false;
    }
    const int rc = top.step();
    if (rc != SQLITE_ROW) {
        fail(storage::engineError(user.handle()));
        if (error)
            *error = m_error;
        return false;
    }
    if (sqlite3_column_type(top.get(), 0) == SQLITE_NULL) {
        m_done = true; // no rows at all
    } else {
        const qint64 last = sqlite3_column_int64(top.get(), 0);
        if (last < m_beforeId)
            m_beforeId = last + 1;
    }
    top.finalize();

    // Only the two columns needed, through the index on (MessReiheID, MessWertId).
    if (!m_stmt->stmt.prepare(user.handle(),
                              QStringLiteral("SELECT MessWertId, MessWertString FROM %1 "
                                             "WHERE MessReiheID = ?1 AND EW = 0 AND "
                                             "MessWertId > ?2 AND MessWertId < ?3 "
                                             "ORDER BY MessWertId ASC LIMIT ?4")
                                  .arg(table),
                              &failure)) {
        fail(failure);
        if (error)
            *error = m_error;
        return false;
    }
    return true;
}

SeriesReader::Status SeriesReader::readSome(int maxRows) {
    if (!m_error.isEmpty())
        return Status::Failed;
    if (m_done)
        return Status::Done;
    if (!m_stmt || !m_db || !m_db->handle())
        return fail(QStringLiteral("The database is closed."));
    sqlite3_stmt* s = m_stmt->stmt.get();
    sqlite3_reset(s);
    sqlite3_bind_int(s, 1, m_seriesId);
    sqlite3_bind_int64(s, 2, m_lastId);
    sqlite3_bind_int64(s, 3, m_beforeId);
    sqlite3_bind_int(s, 4, maxRows < 1 ? 1 : maxRows);
    int rows = 0;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        ++rows;
        m_lastId = sqlite3_column_int64(s, 0);
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        const int length = sqlite3_column_bytes(s, 1);
        SeriesSample sample;
        if (decodeOrdinaryValue(text, length, &sample))
            m_samples.push_back(sample);
        else
            ++m_damaged;
    }
    if (rc != SQLITE_DONE)
        return fail(storage::engineError(m_db->handle()));
    // Ends the statement's read at once: nothing stays open while the user interface runs.
    sqlite3_reset(s);
    if (rows < maxRows) {
        m_done = true;
        m_stmt.reset();
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
