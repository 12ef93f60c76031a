#include "data/stores/pgvaluestore.h"

#include "data/stores/serverline.h"

namespace velmara {

Failure noTemporaryOnServer() {
    return Failure{QStringLiteral("the temporary series are kept on the station, not the server")};
}

namespace {

QString kindCondition(ValueRange::Kind kind) {
    switch (kind) {
    case ValueRange::Kind::Ordinary:
        return QStringLiteral(" AND NOT EW");
    case ValueRange::Kind::EndValues:
        return QStringLiteral(" AND EW");
    case ValueRange::Kind::All:
        break;
    }
    return {};
}

// $1 series, $2 after, $3 before (and $4 the chunk's size when limited).
QString rangeSql(const ValueRange& range, bool limited) {
    return QStringLiteral("SELECT Seq, MessWertString, EW FROM MessWerte WHERE MessReiheID = $1 "
                          "AND Seq > $2 AND Seq < $3") +
           kindCondition(range.kind) + QStringLiteral(" ORDER BY Seq ") +
           (range.descending ? QStringLiteral("DESC") : QStringLiteral("ASC")) +
           (limited ? QStringLiteral(" LIMIT $4") : QString());
}

// Visits rows of (Seq, text, EW[, series]); the key of the last in *lastId.
PgRowVisitor visitorOf(const ValueVisitor& visit, qint32 seriesId, bool withSeries,
                       qint64* lastId) {
    return [=, &visit](const PgRowView& row) {
        StoredValueView view;
        view.id = row.integer(0);
        view.text = row.text(1);
        view.endValue = row.text(2) == "t";
        view.seriesId = withSeries ? qint32(row.integer(3)) : seriesId;
        if (lastId)
            *lastId = view.id;
        return visit(view);
    };
}

class PgValueCursor final : public ValueCursor {
public:
    PgValueCursor(ServerLine& line, const ValueRange& range) : m_line(line), m_range(range) {}

    Result<int> read(int maxRows, const ValueVisitor& visit) override {
        qint64 last = m_range.afterId;
        const auto rows = m_line.visit(
            rangeSql(m_range, true),
            {m_range.seriesId, m_range.afterId, m_range.beforeId, maxRows < 1 ? 1 : maxRows},
            visitorOf(visit, m_range.seriesId, false, &last));
        if (!rows)
            return Failure{rows.error()};
        m_range.afterId = last; // the next chunk starts after it
        return int(*rows);
    }

private:
    ServerLine& m_line;
    ValueRange m_range;
};

} // namespace

Result<qint64> PgValueStore::append(ValueTable table, qint32 seriesId, bool endValue,
                                    const QString& text) {
    if (table == ValueTable::Temporary)
        return noTemporaryOnServer();
    return m_line.number(
        QStringLiteral("INSERT INTO MessWerte (MessReiheID, Seq, EW, MessWertString) SELECT $1, "
                       "COALESCE(MAX(Seq), 0) + 1, $2, $3 FROM MessWerte WHERE MessReiheID = $1 "
                       "RETURNING Seq"),
        {seriesId, endValue, text});
}

Result<void> PgValueStore::adoptTemporarySeries(qint32, qint32) {
    return noTemporaryOnServer();
}

Result<void> PgValueStore::clearTemporary() {
    return noTemporaryOnServer();
}

Result<std::optional<qint64>> PgValueStore::lastValueId(ValueTable table, qint32 seriesId) {
    if (table == ValueTable::Temporary)
        return noTemporaryOnServer();
    const auto rows = m_line.run(
        QStringLiteral("SELECT MAX(Seq) FROM MessWerte WHERE MessReiheID = $1"), {seriesId});
    if (!rows)
        return Failure{rows.error()};
    const QVariant last = rows->value();
    return last.isNull() ? std::nullopt : std::optional<qint64>(last.toLongLong());
}

Result<void> PgValueStore::visit(const ValueRange& range, const ValueVisitor& visit) {
    if (range.table == ValueTable::Temporary)
        return noTemporaryOnServer();
    const auto rows =
        m_line.visit(rangeSql(range, false), {range.seriesId, range.afterId, range.beforeId},
                     visitorOf(visit, range.seriesId, false, nullptr));
    if (!rows)
        return Failure{rows.error()};
    return {};
}

// In recording order: series by their making, values by their place.
Result<void> PgValueStore::visitEndValuesOfBattery(qint32 batteryId, const ValueVisitor& visit) {
    const auto rows = m_line.visit(
        QStringLiteral("SELECT w.Seq, w.MessWertString, w.EW, w.MessReiheID FROM MessWerte w "
                       "JOIN MessReihen r ON r.MessReiheID = w.MessReiheID "
                       "WHERE w.EW AND r.AkkuId = $1 ORDER BY w.MessReiheID, w.Seq"),
        {batteryId}, visitorOf(visit, 0, true, nullptr));
    if (!rows)
        return Failure{rows.error()};
    return {};
}

Result<std::unique_ptr<ValueCursor>> PgValueStore::openStretch(const ValueRange& range) {
    if (range.table == ValueTable::Temporary)
        return noTemporaryOnServer();
    ValueRange ordinary = range;
    ordinary.kind = ValueRange::Kind::Ordinary;
    ordinary.descending = false;
    return std::unique_ptr<ValueCursor>(std::make_unique<PgValueCursor>(m_line, ordinary));
}

} // namespace velmara
