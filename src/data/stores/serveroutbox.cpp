#include "data/stores/serveroutbox.h"

#include "storage/database.h"
#include "storage/query.h"

namespace velmara {

Result<qint64> ServerOutbox::queue(qint32 seriesId, bool endValue, const QString& text) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    if (!(*db)->execute(QStringLiteral("INSERT INTO ServerAusgang (MessReiheID, EW, "
                                       "MessWertString) VALUES (?, ?, ?)"),
                        {seriesId, endValue ? 1 : 0, text}))
        return failureOf(**db);
    return (*db)->lastInsertId();
}

Result<qint64> ServerOutbox::queueTemporarySeries(qint32 temporaryId, qint32 seriesId) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    // One statement: all of the series or nothing.
    if (!(*db)->execute(QStringLiteral("INSERT INTO ServerAusgang (MessReiheID, EW, "
                                       "MessWertString) SELECT ?, EW, MessWertString FROM "
                                       "TempMessWerte WHERE MessReiheID = ? ORDER BY MessWertId"),
                        {seriesId, temporaryId}))
        return failureOf(**db);
    return (*db)->scalar(QStringLiteral("SELECT changes()")).toLongLong();
}

Result<QVector<QueuedValue>> ServerOutbox::oldest(int max) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    auto query = (*db)->prepare(QStringLiteral("SELECT Seq, MessReiheID, EW, MessWertString FROM "
                                               "ServerAusgang ORDER BY Seq LIMIT ?"));
    if (!query->isValid() || !query->bind(1, max))
        return Failure{query->error()};
    QVector<QueuedValue> out;
    Query::Step step;
    while ((step = query->next()) == Query::Step::Row)
        out.append({query->integer(0), qint32(query->integer(1)), query->integer(2) != 0,
                    QString::fromUtf8(query->text(3))});
    if (step == Query::Step::Failed)
        return Failure{query->error()};
    return out;
}

Result<void> ServerOutbox::removeUpTo(qint64 seq) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    if (!(*db)->execute(QStringLiteral("DELETE FROM ServerAusgang WHERE Seq <= ?"), {seq}))
        return failureOf(**db);
    return {};
}

Result<QHash<qint32, int>> ServerOutbox::waitingBySeries() {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    auto query = (*db)->prepare(
        QStringLiteral("SELECT MessReiheID, count(*) FROM ServerAusgang GROUP BY MessReiheID"));
    if (!query->isValid())
        return Failure{query->error()};
    QHash<qint32, int> out;
    Query::Step step;
    while ((step = query->next()) == Query::Step::Row)
        out.insert(qint32(query->integer(0)), int(query->integer(1)));
    if (step == Query::Step::Failed)
        return Failure{query->error()};
    return out;
}

Result<QString> ServerOutbox::stationKey() {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    const QString key = (*db)->scalar(QStringLiteral("SELECT StationKey FROM Station")).toString();
    if (key.isEmpty())
        return Failure{QStringLiteral("The user file names no station.")};
    return key;
}

} // namespace velmara
