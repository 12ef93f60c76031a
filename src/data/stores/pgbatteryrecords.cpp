#include "data/stores/pgbatteryrecords.h"

#include "data/stores/serverline.h"

namespace velmara {

namespace {
template <class T> Result<T> failed(const QString& error) {
    return Failure{error};
}
} // namespace

PgBatteryRecords::PgBatteryRecords(ServerLine& line, ServerStation station)
    : m_line(line), m_station(std::move(station)) {}

Result<void> PgBatteryRecords::inOneStep(const std::function<Result<void>()>& work) {
    return m_line.inTransaction(work);
}

Result<void> PgBatteryRecords::exec(const QString& sql, const QList<QVariant>& params) {
    const auto done = m_line.run(sql, params);
    if (!done)
        return Failure{done.error()};
    return {};
}

Result<QVector<BatteryRow>> PgBatteryRecords::batteries() {
    const auto rows = m_line.run(
        QStringLiteral("SELECT AkkuId, AkkuName, bemerkung FROM Akkus WHERE AkkuId NOT IN "
                       "(SELECT NeuerAkku FROM ImportMessReihen WHERE NeuerAkku IS NOT NULL)"));
    if (!rows)
        return failed<QVector<BatteryRow>>(rows.error());
    QVector<BatteryRow> out;
    out.reserve(rows->rows.size());
    for (const auto& row : rows->rows)
        out.append({row[0].toInt(), row[1].toString(), row[2].toString()});
    return out;
}

Result<QVector<SeriesRow>> PgBatteryRecords::readSeries(const QString& where,
                                                        const QList<QVariant>& params) {
    const auto rows = m_line.run(
        QStringLiteral("SELECT MessReiheID, AkkuId, Nummer, bemerkung, Mode, Datum, Programm, "
                       "Station, Kanal FROM MessReihen WHERE ") +
            where +
            QStringLiteral(" AND MessReiheID NOT IN (SELECT MessReiheID FROM ImportMessReihen) "
                           "ORDER BY Nummer ASC, MessReiheID ASC"),
        params);
    if (!rows)
        return failed<QVector<SeriesRow>>(rows.error());
    QVector<SeriesRow> out;
    for (const auto& r : rows->rows) {
        SeriesRow row;
        row.id = r[0].toInt();
        row.batteryId = r[1].toInt();
        row.number = r[2].toInt();
        row.remark = r[3].toString();
        row.mode = r[4].toString();
        row.createdText = r[5].toString();
        row.created = QDateTime::fromString(row.createdText, Qt::ISODate);
        row.program = r[6].toString();
        row.station = r[7].toString();
        row.channel = r[8].toInt();
        out.append(row);
    }
    return out;
}

Result<QVector<SeriesRow>> PgBatteryRecords::seriesOf(qint32 batteryId) {
    return readSeries(QStringLiteral("AkkuId = $1"), {batteryId});
}

Result<std::optional<SeriesRow>> PgBatteryRecords::seriesById(qint32 seriesId) {
    const auto rows = readSeries(QStringLiteral("MessReiheID = $1"), {seriesId});
    if (!rows)
        return Failure{rows.error()};
    if (rows->isEmpty())
        return std::optional<SeriesRow>();
    return std::optional<SeriesRow>(rows->first());
}

Result<int> PgBatteryRecords::countNamed(const QString& name) {
    const auto n =
        m_line.number(QStringLiteral("SELECT count(*) FROM Akkus WHERE AkkuName = $1"), {name});
    return n ? Result<int>(int(*n)) : Result<int>(Failure{n.error()});
}

Result<bool> PgBatteryRecords::batteryExists(qint32 batteryId) {
    const auto n =
        m_line.number(QStringLiteral("SELECT count(*) FROM Akkus WHERE AkkuId = $1"), {batteryId});
    return n ? Result<bool>(*n == 1) : Result<bool>(Failure{n.error()});
}

Result<int> PgBatteryRecords::highestNumber(qint32 batteryId) {
    // Inside a step the battery's row stays locked until its end, so a second
    // station asking at the same time waits and is told the number after ours.
    if (m_line.inTransaction()) {
        if (auto locked = exec(QStringLiteral("SELECT 1 FROM Akkus WHERE AkkuId = $1 FOR UPDATE"),
                               {batteryId});
            !locked)
            return Failure{locked.error()};
    }
    const auto n = m_line.number(
        QStringLiteral("SELECT COALESCE(MAX(Nummer), 0) FROM MessReihen WHERE AkkuId = $1"),
        {batteryId});
    return n ? Result<int>(int(*n)) : Result<int>(Failure{n.error()});
}

Result<qint32> PgBatteryRecords::insertBattery(const QString& name, const QString& remark) {
    const auto id = m_line.number(
        QStringLiteral("INSERT INTO Akkus (AkkuName, bemerkung) VALUES ($1, $2) RETURNING AkkuId"),
        {name, remark});
    return id ? Result<qint32>(qint32(*id)) : Result<qint32>(Failure{id.error()});
}

Result<qint32> PgBatteryRecords::insertSeries(const NewSeries& s) {
    const QVariant number = s.number > 0 ? QVariant(s.number) : QVariant();
    const QVariant created = s.created.typeId() == QMetaType::QDateTime
                                 ? QVariant(s.created.toDateTime().toString(Qt::ISODate))
                                 : s.created;
    const QVariant program = s.program.isNull() ? QVariant() : QVariant(s.program);
    const QVariant mode = s.mode.isNull() ? QVariant() : QVariant(s.mode);
    const auto id = m_line.number(
        QStringLiteral("INSERT INTO MessReihen (AkkuId, Nummer, bemerkung, Datum, Programm, Mode, "
                       "Station, Kanal) VALUES ($1, $2, $3, $4, $5, $6, $7, $8) "
                       "RETURNING MessReiheID"),
        {s.batteryId, number, s.remark, created, program, mode, m_station.name,
         s.channel > 0 ? QVariant(s.channel) : QVariant()});
    return id ? Result<qint32>(qint32(*id)) : Result<qint32>(Failure{id.error()});
}

Result<void> PgBatteryRecords::setNumber(qint32 seriesId, int number) {
    return exec(QStringLiteral("UPDATE MessReihen SET Nummer = $1 WHERE MessReiheID = $2"),
                {number, seriesId});
}

Result<void> PgBatteryRecords::setProgram(qint32 seriesId, const QString& program,
                                          const QString& mode) {
    return exec(
        QStringLiteral("UPDATE MessReihen SET Programm = $1, Mode = $2 WHERE MessReiheID = $3"),
        {program, mode, seriesId});
}

Result<DeletionLoss> PgBatteryRecords::loss(const QString& seriesWhere, qint32 id) {
    const auto rows =
        m_line.run(QStringLiteral("SELECT (SELECT count(*) FROM MessReihen WHERE ") + seriesWhere +
                       QStringLiteral("), (SELECT count(*) FROM MessWerte WHERE MessReiheID IN "
                                      "(SELECT MessReiheID FROM MessReihen WHERE ") +
                       seriesWhere + QStringLiteral("))"),
                   {id});
    if (!rows)
        return Failure{rows.error()};
    return DeletionLoss{rows->value(0, 0).toInt(), rows->value(0, 1).toInt()};
}

Result<DeletionLoss> PgBatteryRecords::lossOfBattery(qint32 batteryId) {
    return loss(QStringLiteral("AkkuId = $1"), batteryId);
}

Result<DeletionLoss> PgBatteryRecords::lossOfSeries(qint32 seriesId) {
    return loss(QStringLiteral("MessReiheID = $1"), seriesId);
}

// The server deletes a series' values (and a battery's series) with it.
Result<void> PgBatteryRecords::removeSeries(qint32 seriesId) {
    return exec(QStringLiteral("DELETE FROM MessReihen WHERE MessReiheID = $1"), {seriesId});
}

Result<void> PgBatteryRecords::closeGap(qint32 batteryId, int number) {
    return exec(QStringLiteral("UPDATE MessReihen SET Nummer = Nummer - 1 "
                               "WHERE AkkuId = $1 AND Nummer > $2"),
                {batteryId, number});
}

Result<void> PgBatteryRecords::removeBattery(qint32 batteryId) {
    return exec(QStringLiteral("DELETE FROM Akkus WHERE AkkuId = $1"), {batteryId});
}

Result<void> PgBatteryRecords::markImporting(qint32 seriesId, std::optional<qint32> newBattery) {
    return exec(QStringLiteral("INSERT INTO ImportMessReihen (MessReiheID, NeuerAkku, StationKey) "
                               "VALUES ($1, $2, $3)"),
                {seriesId, newBattery ? QVariant(*newBattery) : QVariant(), m_station.key});
}

Result<void> PgBatteryRecords::unmarkImporting(qint32 seriesId) {
    return exec(QStringLiteral("DELETE FROM ImportMessReihen WHERE MessReiheID = $1"), {seriesId});
}

} // namespace velmara
