#include "data/stores/pgprogramstore.h"

#include "data/stores/serverline.h"

namespace velmara {

Result<QVector<StoredProgram>> PgProgramStore::read(const QString& where,
                                                    const QList<QVariant>& params) {
    const auto rows = m_line.run(QStringLiteral("SELECT ProgrammID, Bez, Daten FROM Programme") +
                                     where + QStringLiteral(" ORDER BY ProgrammID"),
                                 params);
    if (!rows)
        return Failure{rows.error()};
    QVector<StoredProgram> out;
    out.reserve(rows->rows.size());
    for (const auto& r : rows->rows)
        out.append({r[0].toLongLong(), r[1].toString(), r[2].toString()});
    return out;
}

Result<QVector<StoredProgram>> PgProgramStore::all() {
    return read(QString(), {});
}

Result<std::optional<StoredProgram>> PgProgramStore::byId(qint64 id) {
    const auto rows = read(QStringLiteral(" WHERE ProgrammID = $1"), {id});
    if (!rows)
        return Failure{rows.error()};
    if (rows->isEmpty())
        return std::optional<StoredProgram>();
    return std::optional<StoredProgram>(rows->first());
}

Result<qint64> PgProgramStore::insert(const QString& name, const QString& text) {
    return m_line.number(
        QStringLiteral("INSERT INTO Programme (Bez, Daten) VALUES ($1, $2) RETURNING ProgrammID"),
        {name, text});
}

Result<void> PgProgramStore::overwrite(qint64 id, const QString& text) {
    const auto done = m_line.run(
        QStringLiteral("UPDATE Programme SET Daten = $1 WHERE ProgrammID = $2"), {text, id});
    if (!done)
        return Failure{done.error()};
    return {};
}

Result<bool> PgProgramStore::remove(qint64 id) {
    const auto done =
        m_line.run(QStringLiteral("DELETE FROM Programme WHERE ProgrammID = $1"), {id});
    if (!done)
        return Failure{done.error()};
    return done->changed > 0;
}

} // namespace velmara
