#include "data/stores/sqliteprogramstore.h"

#include "storage/database.h"
#include "storage/query.h"

namespace velmara {

Result<QVector<StoredProgram>> SqliteProgramStore::read(const QString& where,
                                                        const QVariantList& params) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    auto query = (*db)->prepare(QStringLiteral("SELECT ProgrammID, Bez, Daten FROM Programme") +
                                where + QStringLiteral(" ORDER BY ProgrammID"));
    if (!query->isValid() || !query->bindAll(params))
        return Failure{query->error()};
    QVector<StoredProgram> rows;
    Query::Step step;
    while ((step = query->next()) == Query::Step::Row)
        rows.append({query->integer(0), query->value(1).toString(), query->value(2).toString()});
    if (step == Query::Step::Failed)
        return Failure{query->error()};
    return rows;
}

Result<QVector<StoredProgram>> SqliteProgramStore::all() {
    return read(QString(), {});
}

Result<std::optional<StoredProgram>> SqliteProgramStore::byId(qint64 id) {
    const auto rows = read(QStringLiteral(" WHERE ProgrammID = ?"), {id});
    if (!rows)
        return Failure{rows.error()};
    if (rows->isEmpty())
        return std::optional<StoredProgram>();
    return std::optional<StoredProgram>(rows->first());
}

Result<qint64> SqliteProgramStore::insert(const QString& name, const QString& text) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    if (!(*db)->execute(QStringLiteral("INSERT INTO Programme (Bez, Daten) VALUES (?, ?)"),
                        {name, text}))
        return failureOf(**db);
    return (*db)->lastInsertId();
}

Result<void> SqliteProgramStore::overwrite(qint64 id, const QString& text) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    if (!(*db)->execute(QStringLiteral("UPDATE Programme SET Daten = ? WHERE ProgrammID = ?"),
                        {text, id}))
        return failureOf(**db);
    return {};
}

Result<bool> SqliteProgramStore::remove(qint64 id) {
    const auto there = byId(id);
    if (!there)
        return Failure{there.error()};
    if (!*there)
        return false;
    const auto db = openUserFile(m_file);
    if (!(*db)->execute(QStringLiteral("DELETE FROM Programme WHERE ProgrammID = ?"), {id}))
        return failureOf(**db);
    return true;
}

} // namespace velmara
