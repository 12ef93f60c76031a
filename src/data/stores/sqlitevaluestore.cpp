#include "data/stores/sqlitevaluestore.h"

#include "storage/database.h"
#include "storage/query.h"

namespace velmara {

QString valueTableName(ValueTable table) {
    return table == ValueTable::Temporary ? QStringLiteral("TempMessWerte")
                                          : QStringLiteral("MessWerte");
}

namespace {

QString kindCondition(ValueRange::Kind kind) {
    switch (kind) {
    case ValueRange::Kind::Ordinary:
        return QStringLiteral(" AND EW = 0");
    case ValueRange::Kind::EndValues:
        return QStringLiteral(" AND EW <> 0");
    case ValueRange::Kind::All:
        break;
    }
    return {};
}

// The values of a range through the index on (MessReiheID, MessWertId):
// ? 1 series, 2 after, 3 before (and 4 the chunk's size when limited). The
// flag EW is read only when the range takes both kinds.
QString rangeSql(const ValueRange& range, bool limited) {
    return QStringLiteral("SELECT MessWertId, MessWertString") +
           (range.kind == ValueRange::Kind::All ? QStringLiteral(", EW FROM ")
                                                : QStringLiteral(" FROM ")) +
           valueTableName(range.table) +
           QStringLiteral(" WHERE MessReiheID = ? AND MessWertId > ? AND MessWertId < ?") +
           kindCondition(range.kind) + QStringLiteral(" ORDER BY MessWertId ") +
           (range.descending ? QStringLiteral("DESC") : QStringLiteral("ASC")) +
           (limited ? QStringLiteral(" LIMIT ?") : QString());
}

// Steps a query and visits its rows (columns: id, text, then EW when the
// range takes both kinds, and the series when seriesColumn >= 0). The number
// of rows visited (the key of the last in *lastId); the read is ended.
Result<int> visitRows(Query& query, ValueRange::Kind kind, qint32 seriesId, int seriesColumn,
                      const ValueVisitor& visit, qint64* lastId = nullptr) {
    int rows = 0;
    Query::Step step;
    StoredValueView view;
    view.seriesId = seriesId;
    view.endValue = kind == ValueRange::Kind::EndValues;
    const bool readFlag = kind == ValueRange::Kind::All;
    while ((step = query.next()) == Query::Step::Row) {
        ++rows;
        view.id = query.integer(0);
        view.text = query.text(1);
        if (readFlag)
            view.endValue = query.integer(2) != 0;
        if (seriesColumn >= 0)
            view.seriesId = qint32(query.integer(seriesColumn));
        if (lastId)
            *lastId = view.id;
        if (!visit(view))
            break;
    }
    query.reset();
    if (step == Query::Step::Failed)
        return Failure{query.error()};
    return rows;
}

bool bindRange(Query& query, const ValueRange& range) {
    return query.bind(1, range.seriesId) && query.bind(2, range.afterId) &&
           query.bind(3, range.beforeId);
}

class SqliteValueCursor final : public ValueCursor {
public:
    SqliteValueCursor(std::unique_ptr<Query> query, const ValueRange& range)
        : m_query(std::move(query)), m_range(range) {}

    Result<int> read(int maxRows, const ValueVisitor& visit) override {
        qint64 last = m_range.afterId;
        const int limit = maxRows < 1 ? 1 : maxRows;
        if (!bindRange(*m_query, m_range) || !m_query->bind(4, limit))
            return Failure{m_query->error()};
        Result<int> rows = visitRows(*m_query, m_range.kind, m_range.seriesId, -1, visit, &last);
        if (rows)
            m_range.afterId = last; // the next chunk starts after it
        return rows;
    }

private:
    std::unique_ptr<Query> m_query;
    ValueRange m_range;
};

} // namespace

SqliteValueStore::SqliteValueStore(UserFile file) : m_file(std::move(file)) {}

SqliteValueStore::~SqliteValueStore() = default;

Result<Query*> SqliteValueStore::cached(Database& db, const QString& sql) {
    if (&db != m_preparedOn) {
        m_queries.clear();
        m_preparedOn = &db;
    }
    auto& query = m_queries[sql];
    if (!query || !query->isValid())
        query = db.prepare(sql);
    if (!query->isValid())
        return Failure{query->error()};
    return query.get();
}

Result<qint64> SqliteValueStore::append(ValueTable table, qint32 seriesId, bool endValue,
                                        const QString& text) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    const auto query =
        cached(**db, QStringLiteral("INSERT INTO ") + valueTableName(table) +
                         QStringLiteral(" (MessReiheID, EW, MessWertString) VALUES (?, ?, ?)"));
    if (!query)
        return Failure{query.error()};
    Query& insert = **query;
    const QByteArray utf8 = text.toUtf8();
    if (!insert.bind(1, seriesId) || !insert.bind(2, endValue ? 1 : 0) || !insert.bindText(3, utf8))
        return Failure{insert.error()};
    const Query::Step step = insert.next();
    insert.reset();
    if (step == Query::Step::Failed)
        return Failure{insert.error()};
    return (*db)->lastInsertId();
}

Result<void> SqliteValueStore::adoptTemporarySeries(qint32 temporaryId, qint32 seriesId) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    // One statement: all of the series or nothing.
    if (!(*db)->execute(QStringLiteral("INSERT INTO MessWerte (MessReiheID, EW, MessWertString) "
                                       "SELECT ?, EW, MessWertString FROM TempMessWerte WHERE "
                                       "MessReiheID = ? ORDER BY MessWertId ASC"),
                        {seriesId, temporaryId}))
        return failureOf(**db);
    return {};
}

Result<void> SqliteValueStore::clearTemporary() {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    if (!(*db)->execute(QStringLiteral("DELETE FROM TempMessWerte")))
        return failureOf(**db);
    return {};
}

Result<std::optional<qint64>> SqliteValueStore::lastValueId(ValueTable table, qint32 seriesId) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    const auto query =
        cached(**db, QStringLiteral("SELECT max(MessWertId) FROM ") + valueTableName(table) +
                         QStringLiteral(" WHERE MessReiheID = ?"));
    if (!query)
        return Failure{query.error()};
    Query& top = **query;
    if (!top.bind(1, seriesId))
        return Failure{top.error()};
    if (top.next() != Query::Step::Row) {
        top.reset();
        return Failure{top.error()};
    }
    const std::optional<qint64> last =
        top.isNull(0) ? std::nullopt : std::optional<qint64>(top.integer(0));
    top.reset();
    return last;
}

Result<void> SqliteValueStore::visit(const ValueRange& range, const ValueVisitor& visit) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    const auto query = cached(**db, rangeSql(range, false));
    if (!query)
        return Failure{query.error()};
    if (!bindRange(**query, range))
        return Failure{(*query)->error()};
    const Result<int> rows = visitRows(**query, range.kind, range.seriesId, -1, visit);
    if (!rows)
        return Failure{rows.error()};
    return {};
}

Result<void> SqliteValueStore::visitEndValuesOfBattery(qint32 batteryId,
                                                       const ValueVisitor& visit) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    const auto query =
        cached(**db, QStringLiteral("SELECT MessWertId, MessWertString, MessReiheID FROM MessWerte "
                                    "WHERE EW <> 0 AND MessReiheID IN (SELECT MessReiheID FROM "
                                    "MessReihen WHERE AkkuId = ?) ORDER BY MessWertId ASC"));
    if (!query)
        return Failure{query.error()};
    if (!(*query)->bind(1, batteryId))
        return Failure{(*query)->error()};
    const Result<int> rows = visitRows(**query, ValueRange::Kind::EndValues, 0, 2, visit);
    if (!rows)
        return Failure{rows.error()};
    return {};
}

Result<std::unique_ptr<ValueCursor>> SqliteValueStore::openStretch(const ValueRange& range) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    ValueRange ordinary = range;
    ordinary.kind = ValueRange::Kind::Ordinary;
    ordinary.descending = false;
    auto query = (*db)->prepare(rangeSql(ordinary, true));
    if (!query->isValid())
        return Failure{query->error()};
    return std::unique_ptr<ValueCursor>(
        std::make_unique<SqliteValueCursor>(std::move(query), ordinary));
}

} // namespace velmara
