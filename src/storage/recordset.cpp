#include "storage/recordset.h"

#include "storage/database.h"
#include "storage/jetlexer.h"
#include "storage/sqlitevalue.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>

namespace velmara {

using storage::quoteIdentifier;
using storage::Statement;

namespace {

struct SqlToken {
    enum Kind { Word, Ident, String, Number, Punct } kind = Punct;
    int start = 0;
    int end = 0;
    int depth = 0;
    QString text;
};

// The statement's tokens without blanks and comments, each with its depth in parentheses.
QVector<SqlToken> lexSql(const QString& s) {
    using storage::JetToken;
    QVector<SqlToken> tokens;
    int depth = 0;
    for (const JetToken& j : storage::lexJet(s)) {
        SqlToken t;
        t.start = j.start;
        t.end = j.end;
        t.depth = depth;
        t.text = j.value;
        switch (j.kind) {
        case JetToken::Blank:
        case JetToken::Comment:
            continue;
        case JetToken::Word:
            t.kind = SqlToken::Word;
            break;
        case JetToken::SingleQuoted:
            t.kind = SqlToken::String;
            break;
        case JetToken::DoubleQuoted:
        case JetToken::BacktickName:
        case JetToken::BracketName:
            t.kind = SqlToken::Ident;
            break;
        case JetToken::Number:
            t.kind = SqlToken::Number;
            break;
        case JetToken::Operator:
            if (j.value == QLatin1String("("))
                ++depth;
            else if (j.value == QLatin1String(")"))
                t.depth = --depth;
            break;
        }
        tokens.append(t);
    }
    return tokens;
}

bool isWord(const SqlToken& t, QLatin1String word) {
    return t.kind == SqlToken::Word && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isOneOf(const SqlToken& t, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (isWord(t, QLatin1String(w)))
            return true;
    return false;
}

// The shape of a query on one table: "SELECT <list> FROM <table> [[AS] alias] ...".
struct SingleTable {
    QString table;     // unquoted table name
    QString reference; // how the query names it (alias or table, as written)
    QString rowidQuery;
    QString rereadQuery;
};

bool singleTable(const QString& sql, SingleTable* out) {
    const QVector<SqlToken> t = lexSql(sql);
    if (t.size() < 4 || !isWord(t[0], QLatin1String("SELECT")))
        return false;
    int from = -1;
    for (int i = 1; i < t.size() && from < 0; ++i)
        if (t[i].depth == 0 && isWord(t[i], QLatin1String("FROM")))
            from = i;
    if (from < 2 || isOneOf(t[1], {"DISTINCT", "ALL"}))
        return false;
    for (int i = 1; i + 1 < from; ++i) {
        if (isOneOf(t[i], {"count", "sum", "min", "max", "avg", "total", "group_concat"}) &&
            t[i + 1].text == QLatin1String("("))
            return false;
    }
    int end = from + 1;
    while (end < t.size() &&
           !(t[end].depth == 0 && (isOneOf(t[end], {"WHERE", "GROUP", "ORDER", "LIMIT", "HAVING",
                                                    "UNION", "INTERSECT", "EXCEPT"}) ||
                                   t[end].text == QLatin1String(";"))))
        ++end;
    for (int i = end; i < t.size(); ++i) {
        if (t[i].depth == 0 && isOneOf(t[i], {"GROUP", "HAVING", "UNION", "INTERSECT", "EXCEPT"}))
            return false;
        // A second statement after the query.
        if (t[i].text == QLatin1String(";") && i + 1 < t.size())
            return false;
    }
    const int count = end - from - 1;
    auto isName = [](const SqlToken& k) {
        return (k.kind == SqlToken::Word &&
                !isOneOf(k, {"AS", "JOIN", "NATURAL", "LEFT", "INNER", "CROSS", "OUTER", "ON",
                             "USING", "INDEXED", "NOT", "SELECT"})) ||
               k.kind == SqlToken::Ident;
    };
    if (count < 1 || count > 3 || !isName(t[from + 1]))
        return false;
    const SqlToken& table = t[from + 1];
    const SqlToken* ref = &table;
    if (count == 2) {
        if (!isName(t[from + 2]))
            return false;
        ref = &t[from + 2];
    } else if (count == 3) {
        if (!isWord(t[from + 2], QLatin1String("AS")) || !isName(t[from + 3]))
            return false;
        ref = &t[from + 3];
    }
    out->table = table.text;
    out->reference = sql.mid(ref->start, ref->end - ref->start);
    const QString rowid = out->reference + QLatin1String(".rowid AS __rk");
    out->rowidQuery =
        sql.left(t[0].end) + QLatin1Char(' ') + rowid + QLatin1Char(',') + sql.mid(t[0].end);
    out->rereadQuery = QLatin1String("SELECT ") + rowid + QLatin1String(", ") +
                       sql.mid(t[1].start, t[from].start - t[1].start) +
                       sql.mid(t[from].start, t[end - 1].end - t[from].start) +
                       QLatin1String(" WHERE ") + out->reference + QLatin1String(".rowid = ?");
    return true;
}

QString fold(const QString& name) {
    return name.toCaseFolded();
}

bool asNumber(const QVariant& v, double* number) {
    switch (v.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        *number = v.toDouble();
        return true;
    default:
        return false;
    }
}

bool textAsNumber(const QVariant& v, double* number) {
    bool ok = false;
    const QString text = v.toString().trimmed();
    *number = text.toDouble(&ok);
    return ok && !text.isEmpty();
}

// A field equals a wanted value as numbers when one is a number and the other
// one is or reads as a number, else as texts without regard to letter case.
bool fieldEquals(const QVariant& field, const QVariant& wanted) {
    if (field.isNull() || wanted.isNull())
        return false;
    double x = 0, y = 0;
    const bool wantedIsText = wanted.typeId() == QMetaType::QString;
    if (asNumber(field, &x) && (wantedIsText ? textAsNumber(wanted, &y) : asNumber(wanted, &y)))
        return x == y;
    if (!wantedIsText && asNumber(wanted, &y) && field.typeId() == QMetaType::QString &&
        textAsNumber(field, &x))
        return x == y;
    return QString::compare(field.toString(), wanted.toString(), Qt::CaseInsensitive) == 0;
}

} // namespace

Recordset::Recordset(Database* db, QString sql)
    : m_db(db && db->isOpen() ? db : nullptr), m_sql(std::move(sql)) {
    m_nativeSql = translateJetSql(m_sql);
    if (!m_db) {
        m_error = QStringLiteral("The database is not open.");
        return;
    }
    m_db->attach(this);
    analyse();
}

Recordset::~Recordset() {
    if (m_db)
        m_db->detach(this);
}

void Recordset::analyse() {
    Statement probe;
    QString error;
    if (!probe.prepare(m_db->handle(), m_nativeSql, &error)) {
        m_error = error.isEmpty() ? QStringLiteral("Invalid query.") : error;
        return;
    }
    if (probe.columnCount() == 0) {
        m_error = QStringLiteral("The statement returns no rows: %1").arg(m_sql);
        return;
    }
    for (int i = 0; i < probe.columnCount(); ++i)
        m_columns << probe.columnName(i);
    m_execSql = m_nativeSql;

    SingleTable shape;
    if (singleTable(m_nativeSql, &shape)) {
        Statement withKey;
        if (withKey.prepare(m_db->handle(), shape.rowidQuery, nullptr) &&
            withKey.columnCount() == probe.columnCount() + 1) {
            m_updatable = true;
            m_table = shape.table;
            m_execSql = shape.rowidQuery;
            m_rereadSql = shape.rereadQuery;
            if (const char* t = sqlite3_column_table_name(withKey.get(), 0))
                m_table = QString::fromUtf8(t);
            for (int i = 0; i < m_columns.size(); ++i) {
                const char* table = sqlite3_column_table_name(withKey.get(), i + 1);
                const char* origin = sqlite3_column_origin_name(withKey.get(), i + 1);
                const bool own =
                    table && origin &&
                    QString::fromUtf8(table).compare(m_table, Qt::CaseInsensitive) == 0;
                m_origins << (own ? QString::fromUtf8(origin) : QString());
            }
        }
    }
    for (int i = m_columns.size() - 1; i >= 0; --i)
        m_lookup.insert(fold(m_columns.at(i)), i); // the first of equal names wins
}

void Recordset::detachDatabase() {
    m_db = nullptr;
    m_rows.clear();
    m_pos = -1;
    m_onDeleted = false;
    m_editMode = EditMode::None;
    m_pending.clear();
    if (m_error.isEmpty())
        m_error = QStringLiteral("The database was closed.");
}

void Recordset::close() {
    if (m_db)
        m_db->detach(this);
    detachDatabase();
    m_error = QStringLiteral("The record set is closed.");
}

bool Recordset::alive() const {
    if (m_db && m_db->isOpen() && m_error.isEmpty())
        return true;
    m_lastError = m_error.isEmpty() ? QStringLiteral("The database is closed.") : m_error;
    return false;
}

bool Recordset::failOp(const QString& message) const {
    m_lastError = message;
    return false;
}

bool Recordset::hasCurrent() const {
    return !m_onDeleted && m_pos >= 0 && m_pos < m_rows.size();
}

void Recordset::ensureLoaded() const {
    if (m_loaded || !alive())
        return;
    const bool positioned = hasCurrent();
    const qint64 currentKey = positioned ? m_rows.at(m_pos).key : 0;
    QVector<Row> added = std::move(m_rows);
    load();
    if (!added.isEmpty()) {
        // Rows added through this set stay at the end, in the order they were added.
        QHash<qint64, int> addedIndex;
        for (int i = 0; i < added.size(); ++i)
            addedIndex.insert(added.at(i).key, i);
        QVector<Row> rows;
        rows.reserve(m_rows.size() + added.size());
        for (Row& row : m_rows) {
            const auto it = addedIndex.constFind(row.key);
            if (it == addedIndex.cend())
                rows.append(std::move(row));
            else
                added[it.value()].values = std::move(row.values);
        }
        rows += added;
        m_rows = std::move(rows);
    }
    m_onDeleted = false;
    m_pos = positioned ? indexOfKey(currentKey) : -1;
    if (m_pos < 0 && !m_rows.isEmpty())
        m_pos = 0;
}

void Recordset::load() const {
    m_rows.clear();
    m_loaded = true;
    Statement stmt;
    QString error;
    if (!stmt.prepare(m_db->handle(), m_execSql, &error)) {
        m_lastError = error;
        return;
    }
    const int offset = m_updatable ? 1 : 0;
    const int count = stmt.columnCount();
    qint64 running = 0;
    int rc;
    while ((rc = stmt.step()) == SQLITE_ROW) {
        Row row;
        row.key = m_updatable ? sqlite3_column_int64(stmt.get(), 0) : ++running;
        row.values.reserve(count - offset);
        for (int c = offset; c < count; ++c)
            row.values.append(stmt.value(c));
        m_rows.append(std::move(row));
    }
    if (rc != SQLITE_DONE)
        m_lastError = storage::engineError(m_db->handle());
}

int Recordset::indexOfKey(qint64 key) const {
    for (int i = int(m_rows.size()) - 1; i >= 0; --i)
        if (m_rows.at(i).key == key)
            return i;
    return -1;
}

int Recordset::columnIndex(const QString& field) const {
    QString name = field.trimmed();
    if (name.startsWith(QLatin1Char('[')) && name.endsWith(QLatin1Char(']')))
        name = name.mid(1, name.size() - 2);
    auto it = m_lookup.constFind(fold(name));
    if (it != m_lookup.cend())
        return it.value();
    const int dot = int(name.lastIndexOf(QLatin1Char('.')));
    if (dot >= 0) {
        QString column = name.mid(dot + 1);
        if (column.startsWith(QLatin1Char('[')) && column.endsWith(QLatin1Char(']')))
            column = column.mid(1, column.size() - 2);
        it = m_lookup.constFind(fold(column));
        if (it != m_lookup.cend())
            return it.value();
    }
    return -1;
}

bool Recordset::isEOF() const {
    if (!alive())
        return true;
    ensureLoaded();
    return m_rows.isEmpty() || m_pos >= m_rows.size();
}

bool Recordset::isBOF() const {
    if (!alive())
        return true;
    ensureLoaded();
    return m_rows.isEmpty() || m_pos < 0;
}

int Recordset::recordCount() const {
    if (!alive())
        return 0;
    ensureLoaded();
    return int(m_rows.size());
}

void Recordset::moveFirst() {
    if (!alive())
        return;
    cancelUpdate();
    ensureLoaded();
    m_onDeleted = false;
    m_pos = m_rows.isEmpty() ? -1 : 0;
}

void Recordset::moveNext() {
    if (!alive())
        return;
    cancelUpdate();
    ensureLoaded();
    if (m_onDeleted)
        m_onDeleted = false; // m_pos already is the row after the deleted one
    else if (m_pos < m_rows.size())
        ++m_pos;
}

bool Recordset::findFirstEqual(const QString& field, const QVariant& value) {
    return findFirstEqual({{field, value}});
}

bool Recordset::findFirstEqual(const QVector<std::pair<QString, QVariant>>& fieldValues) {
    m_noMatch = true;
    if (!alive())
        return false;
    cancelUpdate();
    QVector<std::pair<int, QVariant>> columnValues;
    for (const auto& [field, value] : fieldValues) {
        const int column = columnIndex(field);
        if (column < 0)
            return failOp(QStringLiteral("Unknown field '%1'").arg(field));
        columnValues.append({column, value});
    }
    if (columnValues.isEmpty())
        return failOp(QStringLiteral("No field to find by."));
    ensureLoaded();
    for (int i = 0; i < m_rows.size(); ++i) {
        const QVariantList& row = m_rows.at(i).values;
        const bool all = std::all_of(columnValues.cbegin(), columnValues.cend(),
                                     [&row](const std::pair<int, QVariant>& wanted) {
                                         return fieldEquals(row.value(wanted.first), wanted.second);
                                     });
        if (all) {
            m_pos = i;
            m_onDeleted = false;
            m_noMatch = false;
            return true;
        }
    }
    return false;
}

QVariant Recordset::value(const QString& field) const {
    if (!alive())
        return QVariant();
    const int column = columnIndex(field);
    if (m_editMode != EditMode::None) {
        const QString key = column >= 0 && column < m_origins.size() ? m_origins.at(column) : field;
        for (const Pending& p : m_pending)
            if (p.column.compare(key, Qt::CaseInsensitive) == 0 ||
                p.column.compare(field, Qt::CaseInsensitive) == 0)
                return p.value;
        if (m_editMode == EditMode::Add)
            return QVariant();
    }
    if (!hasCurrent())
        ensureLoaded();
    if (column < 0 || !hasCurrent())
        return QVariant();
    return m_rows.at(m_pos).values.value(column);
}

QStringList Recordset::fieldNames() const {
    return m_columns;
}

QString Recordset::writableColumn(const QString& field) {
    const int column = columnIndex(field);
    if (column >= 0 && column < m_origins.size()) {
        if (m_origins.at(column).isEmpty()) {
            failOp(QStringLiteral("The field %1 is computed and cannot be changed.").arg(field));
            return QString();
        }
        return m_origins.at(column);
    }
    if (m_tableColumns.isEmpty()) {
        Statement info;
        if (info.prepare(m_db->handle(),
                         QLatin1String("PRAGMA table_info(") + quoteIdentifier(m_table) +
                             QLatin1Char(')'),
                         nullptr)) {
            while (info.step() == SQLITE_ROW)
                m_tableColumns << info.value(1).toString();
        }
    }
    for (const QString& name : std::as_const(m_tableColumns))
        if (name.compare(field, Qt::CaseInsensitive) == 0)
            return name;
    failOp(QStringLiteral("Unknown field %1 in %2.").arg(field, m_table));
    return QString();
}

void Recordset::addNew() {
    if (!alive())
        return;
    if (!m_updatable) {
        failOp(QStringLiteral("The record set cannot be changed: %1").arg(m_sql));
        return;
    }
    m_lastError.clear();
    m_pending.clear();
    m_editMode = EditMode::Add;
}

void Recordset::edit() {
    if (!alive())
        return;
    if (!m_updatable) {
        failOp(QStringLiteral("The record set cannot be changed: %1").arg(m_sql));
        return;
    }
    if (!hasCurrent())
        ensureLoaded();
    if (!hasCurrent()) {
        failOp(QStringLiteral("There is no current row."));
        return;
    }
    m_lastError.clear();
    m_pending.clear();
    m_editMode = EditMode::Edit;
}

void Recordset::setValue(const QString& field, const QVariant& value) {
    if (!alive())
        return;
    if (m_editMode == EditMode::None) {
        failOp(QStringLiteral("setValue(%1) without addNew or edit.").arg(field));
        return;
    }
    const QString column = writableColumn(field);
    if (column.isEmpty())
        return;
    for (Pending& p : m_pending) {
        if (p.column == column) {
            p.value = value;
            return;
        }
    }
    m_pending.append({column, value});
}

bool Recordset::readRow(qint64 key, Row* row) const {
    Statement stmt;
    if (!stmt.prepare(m_db->handle(), m_rereadSql, nullptr) || !stmt.bind({key}, nullptr) ||
        stmt.step() != SQLITE_ROW)
        return false;
    row->key = key;
    row->values.clear();
    for (int c = 1; c < stmt.columnCount(); ++c)
        row->values.append(stmt.value(c));
    return true;
}

bool Recordset::update() {
    if (!alive())
        return false;
    if (m_editMode == EditMode::None)
        return failOp(QStringLiteral("update() without addNew or edit."));
    if (!m_updatable)
        return failOp(QStringLiteral("The record set cannot be changed: %1").arg(m_sql));
    QStringList columns;
    QVariantList params;
    for (const Pending& p : std::as_const(m_pending)) {
        columns << quoteIdentifier(p.column);
        params << p.value;
    }
    const QString table = quoteIdentifier(m_table);
    qint64 key = 0;
    if (m_editMode == EditMode::Add) {
        QString sql = QLatin1String("INSERT INTO ") + table;
        if (columns.isEmpty()) {
            sql += QLatin1String(" DEFAULT VALUES");
        } else {
            const QStringList marks(columns.size(), QStringLiteral("?"));
            sql += QLatin1String(" (") + columns.join(QLatin1Char(',')) +
                   QLatin1String(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        if (!m_db->prepareAndRun(sql, params))
            return failOp(m_db->lastError());
        key = m_db->lastInsertId();
        Row row;
        if (!readRow(key, &row)) {
            // The row exists, the query just cannot show it again: keep what was written.
            row.key = key;
            row.values = QVariantList(m_columns.size());
        }
        m_rows.append(row);
        m_pos = int(m_rows.size()) - 1;
        m_onDeleted = false;
    } else {
        if (!hasCurrent())
            return failOp(QStringLiteral("There is no current row."));
        key = m_rows.at(m_pos).key;
        if (!columns.isEmpty()) {
            const QString sql = QLatin1String("UPDATE ") + table + QLatin1String(" SET ") +
                                columns.join(QLatin1String("=?, ")) +
                                QLatin1String("=? WHERE rowid=?");
            params << key;
            if (!m_db->prepareAndRun(sql, params))
                return failOp(m_db->lastError());
            if (sqlite3_changes(m_db->handle()) == 0)
                return failOp(QStringLiteral("The row was deleted by someone else."));
            Row row;
            if (readRow(key, &row))
                m_rows[m_pos].values = row.values;
        }
    }
    m_lastModified = key;
    m_editMode = EditMode::None;
    m_pending.clear();
    m_lastError.clear();
    return true;
}

void Recordset::cancelUpdate() {
    m_editMode = EditMode::None;
    m_pending.clear();
}

bool Recordset::remove() {
    if (!alive())
        return false;
    if (!m_updatable)
        return failOp(QStringLiteral("The record set cannot be changed: %1").arg(m_sql));
    cancelUpdate();
    ensureLoaded();
    if (!hasCurrent())
        return failOp(QStringLiteral("There is no current row."));
    const qint64 key = m_rows.at(m_pos).key;
    if (!m_db->prepareAndRun(QLatin1String("DELETE FROM ") + quoteIdentifier(m_table) +
                                 QLatin1String(" WHERE rowid=?"),
                             {key}))
        return failOp(m_db->lastError());
    m_rows.remove(m_pos);
    m_onDeleted = true;
    m_lastError.clear();
    return true;
}

void Recordset::requery() {
    if (!alive())
        return;
    cancelUpdate();
    m_rows.clear();
    m_loaded = false;
    m_pos = -1;
    m_onDeleted = false;
}

} // namespace velmara
