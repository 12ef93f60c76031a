#include "storage/query.h"

#include "storage/database.h"
#include "storage/sqlitevalue.h"

#include <sqlcipher/sqlite3.h>

namespace velmara {

namespace {
const QString kClosed = QStringLiteral("The database is closed.");
} // namespace

Query::Query(Database* db, QString sql)
    : m_db(db), m_sql(std::move(sql)), m_stmt(std::make_unique<storage::Statement>()) {
    if (m_db)
        m_db->attachQuery(this);
    ensurePrepared();
}

Query::~Query() {
    if (m_db)
        m_db->detachQuery(this);
}

bool Query::isValid() const {
    return m_stmt->get() != nullptr;
}

bool Query::ensurePrepared() {
    if (m_stmt->get())
        return true;
    if (!m_db || !m_db->isOpen()) {
        m_error = kClosed;
        return false;
    }
    return m_stmt->prepare(m_db->m_db, m_sql, &m_error);
}

void Query::dropStatement() {
    m_stmt->finalize();
}

void Query::databaseClosed() {
    m_stmt->finalize();
    m_db = nullptr;
}

bool Query::bind(int position, qint64 value) {
    if (!ensurePrepared())
        return false;
    sqlite3_stmt* s = m_stmt->get();
    sqlite3_reset(s);
    if (sqlite3_bind_int64(s, position, value) == SQLITE_OK)
        return true;
    m_error = storage::engineError(sqlite3_db_handle(s));
    return false;
}

bool Query::bindText(int position, QByteArrayView utf8) {
    if (!ensurePrepared())
        return false;
    sqlite3_stmt* s = m_stmt->get();
    sqlite3_reset(s);
    if (sqlite3_bind_text(s, position, utf8.data() ? utf8.data() : "", int(utf8.size()),
                          SQLITE_TRANSIENT) == SQLITE_OK)
        return true;
    m_error = storage::engineError(sqlite3_db_handle(s));
    return false;
}

bool Query::bindAll(const QVariantList& values) {
    if (!ensurePrepared())
        return false;
    sqlite3_reset(m_stmt->get());
    return m_stmt->bind(values, &m_error);
}

Query::Step Query::next() {
    if (!ensurePrepared())
        return Step::Failed;
    const int rc = m_stmt->step();
    if (rc == SQLITE_ROW)
        return Step::Row;
    if (rc == SQLITE_DONE)
        return Step::Done;
    m_error = storage::engineError(sqlite3_db_handle(m_stmt->get()));
    sqlite3_reset(m_stmt->get());
    return Step::Failed;
}

bool Query::isNull(int column) const {
    return sqlite3_column_type(m_stmt->get(), column) == SQLITE_NULL;
}

qint64 Query::integer(int column) const {
    return sqlite3_column_int64(m_stmt->get(), column);
}

QByteArrayView Query::text(int column) const {
    sqlite3_stmt* s = m_stmt->get();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return QByteArrayView(text, text ? sqlite3_column_bytes(s, column) : 0);
}

QVariant Query::value(int column) const {
    return m_stmt->value(column);
}

void Query::reset() {
    if (m_stmt->get())
        sqlite3_reset(m_stmt->get());
}

} // namespace velmara
