#include "data/stores/pgimportstaging.h"

#include "data/stores/serverline.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace velmara {

PgImportStaging::~PgImportStaging() {
    end();
}

void PgImportStaging::end() {
    if (!m_haveTable)
        return;
    m_haveTable = false;
    (void)m_line.run(QStringLiteral("DROP TABLE IF EXISTS pg_temp.velmara_import"));
}

Result<void> PgImportStaging::begin() {
    end();
    m_count = 0;
    const auto made =
        m_line.run(QStringLiteral("DROP TABLE IF EXISTS pg_temp.velmara_import; CREATE TEMP TABLE "
                                  "velmara_import (n bigint PRIMARY KEY, EW boolean NOT NULL, "
                                  "MessWertString text NOT NULL)"));
    if (!made)
        return Failure{made.error()};
    m_haveTable = true;
    return {};
}

// A portion goes as one JSON text, its values never part of the statement.
Result<qint64> PgImportStaging::add(const QVector<StagedValue>& values) {
    if (!m_haveTable)
        return Failure{QStringLiteral("Nothing is being read.")};
    QJsonArray rows;
    for (const StagedValue& v : values)
        rows.append(QJsonArray{v.endValue, v.text});
    const auto added = m_line.run(
        QStringLiteral("INSERT INTO pg_temp.velmara_import (n, EW, MessWertString) "
                       "SELECT $1::bigint + e.ord, (e.v->>0)::boolean, e.v->>1 "
                       "FROM jsonb_array_elements($2::jsonb) WITH ORDINALITY AS e(v, ord)"),
        {m_count, QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact))});
    if (!added)
        return Failure{added.error()};
    m_count += values.size();
    return m_count;
}

Result<void> PgImportStaging::inSlice(const std::function<Result<void>()>& work, bool) {
    return m_line.inTransaction(work);
}

Result<void> PgImportStaging::moveInto(qint32 seriesId, qint64 from, qint64 to) {
    if (!m_haveTable)
        return Failure{QStringLiteral("Nothing was read.")};
    const auto moved = m_line.run(
        QStringLiteral("INSERT INTO MessWerte (MessReiheID, Seq, EW, MessWertString) "
                       "SELECT $1, (SELECT COALESCE(MAX(Seq), 0) FROM MessWerte WHERE "
                       "MessReiheID = $1) + row_number() OVER (ORDER BY n), EW, MessWertString "
                       "FROM pg_temp.velmara_import WHERE n > $2 AND n <= $3"),
        {seriesId, from, to});
    if (!moved)
        return Failure{moved.error()};
    return {};
}

Result<void> PgImportStaging::removeSome(qint32 seriesId, qint64 n) {
    const auto removed = m_line.run(
        QStringLiteral("DELETE FROM MessWerte WHERE MessReiheID = $1 AND Seq IN (SELECT Seq FROM "
                       "MessWerte WHERE MessReiheID = $1 ORDER BY Seq DESC LIMIT $2)"),
        {seriesId, n});
    if (!removed)
        return Failure{removed.error()};
    return {};
}

// Only this station's: another station's import may be running right now.
Result<int> PgImportStaging::removeUnfinished(qint32 seriesId) {
    const QString which = QStringLiteral("StationKey = $1") +
                          (seriesId < 0 ? QString() : QStringLiteral(" AND MessReiheID = $2"));
    QList<QVariant> params{m_station.key};
    if (seriesId >= 0)
        params.append(seriesId);
    int removed = 0;
    const Result<void> done = m_line.inTransaction([&]() -> Result<void> {
        const auto listed = m_line.run(
            QStringLiteral("SELECT MessReiheID, NeuerAkku FROM ImportMessReihen WHERE ") + which +
                QStringLiteral(" FOR UPDATE"),
            params);
        if (!listed)
            return Failure{listed.error()};
        removed = int(listed->rows.size());
        // The series take their values and the list rows with them.
        for (const auto& row : listed->rows) {
            const auto gone =
                row[1].isNull()
                    ? m_line.run(QStringLiteral("DELETE FROM MessReihen WHERE MessReiheID = $1"),
                                 {row[0]})
                    : m_line.run(QStringLiteral("DELETE FROM Akkus WHERE AkkuId = $1"), {row[1]});
            if (!gone)
                return Failure{gone.error()};
        }
        return {};
    });
    if (!done)
        return Failure{done.error()};
    return removed;
}

} // namespace velmara
