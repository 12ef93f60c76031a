#include "storage/sqlitevalue.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sqlcipher/sqlite3.h>

#include <cerrno>

namespace velmara::storage {

Statement::~Statement() {
    finalize();
}

void Statement::finalize() {
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

bool Statement::prepare(sqlite3* db, const QString& sql, QString* error) {
    finalize();
    if (!db) {
        if (error)
            *error = QStringLiteral("The database is closed.");
        return false;
    }
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
        if (error)
            *error = engineError(db);
        finalize();
        return false;
    }
    if (!m_stmt) {
        if (error)
            *error = QStringLiteral("Empty statement.");
        return false;
    }
    return true;
}

bool Statement::bind(const QVariantList& params, QString* error) {
    for (int i = 0; i < params.size(); ++i) {
        if (bindValue(m_stmt, i + 1, params.at(i)) != SQLITE_OK) {
            if (error)
                *error = engineError(sqlite3_db_handle(m_stmt));
            return false;
        }
    }
    return true;
}

int Statement::step() {
    return m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
}

QVariant Statement::value(int column) const {
    return columnValue(m_stmt, column);
}

int Statement::columnCount() const {
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QVariant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(stmt, column)));
    }
    default:
        return QVariant();
    }
}

int bindValue(sqlite3_stmt* stmt, int index, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return sqlite3_bind_int64(stmt, index, sqlite3_int64(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return sqlite3_bind_blob(stmt, index, data.constData(), int(data.size()), SQLITE_TRANSIENT);
    }
    case QMetaType::QDateTime:
        return bindValue(stmt, index, value.toDateTime().toString(Qt::ISODate));
    case QMetaType::QDate:
        return bindValue(stmt, index, value.toDate().toString(Qt::ISODate));
    case QMetaType::QTime:
        return bindValue(stmt, index, value.toTime().toString(Qt::ISODate));
    default: {
        const QByteArray utf8 = value.toString().toUtf8();
        return sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    }
}

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString engineError(sqlite3* db) {
    if (!db)
        return QStringLiteral("The database is closed.");
    return describeEngineFailure(QString::fromUtf8(sqlite3_errmsg(db)),
                                 sqlite3_extended_errcode(db), sqlite3_system_errno(db));
}

QString describeEngineFailure(const QString& message, int extendedCode, int systemErrno) {
    const int code = extendedCode & 0xff;
    if (code == SQLITE_FULL || (code == SQLITE_IOERR && systemErrno == ENOSPC))
        return QStringLiteral("the disk is full (%1)").arg(message);
    return message;
}

} // namespace velmara::storage
