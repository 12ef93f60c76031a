#include "data/stores/sqlitebatteryrecords.h"

#include "storage/database.h"
#include "storage/query.h"
#include "storage/recordset.h"

namespace velmara {

Result<void> SqliteBatteryRecords::inOneStep(const std::function<Result<void>()>& work) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    QString failure;
    const bool ok = (*db)->transaction([&] {
        const Result<void> done = work();
        failure = done.error();
        return done.ok();
    });
    if (ok)
        return {};
    return failure.isEmpty() ? failureOf(**db) : Failure{failure};
}

Result<qint64> SqliteBatteryRecords::count(const QString& sql, const QVariantList& params) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    const QVariant v = (*db)->scalar(sql, params);
    if (!v.isValid() && !(*db)->lastError().isEmpty())
        return failureOf(**db);
    return v.toLongLong();
}

Result<void> SqliteBatteryRecords::run(const QString& sql, const QVariantList& params) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    if (!(*db)->execute(sql, params))
        return failureOf(**db);
    return {};
}

Result<QVector<BatteryRow>> SqliteBatteryRecords::batteries() {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    auto rs = (*db)->openRecordset(
        QStringLiteral("SELECT AkkuId, AkkuName, bemerkung FROM Akkus WHERE AkkuId NOT IN "
                       "(SELECT NeuerAkku FROM ImportMessReihen WHERE NeuerAkku IS NOT NULL)"));
    if (!rs->isValid())
        return Failure{rs->error()};
    QVector<BatteryRow> rows;
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        rows.append({rs->value(QStringLiteral("AkkuId")).toInt(),
                     rs->text(QStringLiteral("AkkuName")), rs->text(QStringLiteral("bemerkung"))});
    return rows;
}

Result<QVector<SeriesRow>> SqliteBatteryRecords::readSeries(const QString& where,
                                                            const QVariantList& params) {
    const auto db = openUserFile(m_file);
    if (!db)
        return Failure{db.error()};
    auto rs = (*db)->prepare(
        QStringLiteral("SELECT MessReiheID, AkkuId, Nummer, bemerkung, Mode, Datum, Programm, "
                       "Station, Kanal FROM MessReihen WHERE ") +
        where +
        QStringLiteral(" AND MessReiheID NOT IN (SELECT MessReiheID FROM ImportMessReihen) "
                       "ORDER BY Nummer ASC, MessReiheID ASC"));
    if (!rs->isValid() || !rs->bindAll(params))
        return Failure{rs->error()};
    QVector<SeriesRow> rows;
    Query::Step step;
    while ((step = rs->next()) == Query::Step::Row) {
        SeriesRow row;
        row.id = qint32(rs->integer(0));
        row.batteryId = qint32(rs->integer(1));
        row.number = int(rs->integer(2));
        row.remark = rs->value(3).toString();
        row.mode = rs->value(4).toString();
        row.createdText = rs->value(5).toString();
        row.created = QDateTime::fromString(row.createdText, Qt::ISODate);
        row.program = rs->value(6).toString();
        row.station = rs->value(7).toString();
        row.channel = int(rs->integer(8));
        rows.append(row);
    }
    if (step == Query::Step::Failed)
        return Failure{rs->error()};
    return rows;
}

Result<QVector<SeriesRow>> SqliteBatteryRecords::seriesOf(qint32 batteryId) {
    return readSeries(QStringLiteral("AkkuId = ?"), {batteryId});
}

Result<std::optional<SeriesRow>> SqliteBatteryRecords::seriesById(qint32 seriesId) {
    const auto rows = readSeries(QStringLiteral("MessReiheID = ?"), {seriesId});
    if (!rows)
        return Failure{rows.error()};
    if (rows->isEmpty())
        return std::optional<SeriesRow>();
    return std::optional<SeriesRow>(rows->first());
}

Result<int> SqliteBatteryRecords::countNamed(const QString& name) {
    // = compares exactly: "Akku" and "akku" are two names.
    const auto n = count(QStringLiteral("SELECT COUNT(*) FROM Akkus WHERE AkkuName = ?"), {name});
    return n ? Result<int>(int(*n)) : Result<int>(Failure{n.error()});
}

Result<bool> SqliteBatteryRecords::batteryExists(qint32 batteryId) {
    const auto n =
        count(QStringLiteral("SELECT COUNT(*) FROM Akkus WHERE AkkuId = ?"), {batteryId});
    return n ? Result<bool>(*n == 1) : Result<bool>(Failure{n.error()});
}

Result<int> SqliteBatteryRecords::highestNumber(qint32 batteryId) {
    const auto n =
        count(QStringLiteral("SELECT COALESCE(MAX(Nummer), 0) FROM MessReihen WHERE AkkuId = ?"),
              {batteryId});
    return n ? Result<int>(int(*n)) : Result<int>(Failure{n.error()});
}

Result<qint32> SqliteBatteryRecords::insertBattery(const QString& name, const QString& remark) {
    const auto done = run(QStringLiteral("INSERT INTO Akkus (AkkuName, bemerkung) VALUES (?, ?)"),
                          {name, remark});
    if (!done)
        return Failure{done.error()};
    return qint32((*openUserFile(m_file))->lastInsertId());
}

Result<qint32> SqliteBatteryRecords::insertSeries(const NewSeries& s) {
    const QVariant number = s.number > 0 ? QVariant(s.number) : QVariant();
    const QVariant program = s.program.isNull() ? QVariant() : QVariant(s.program);
    const QVariant mode = s.mode.isNull() ? QVariant() : QVariant(s.mode);
    const QString station = m_station ? m_station() : QString();
    const auto done = run(QStringLiteral("INSERT INTO MessReihen (AkkuId, Nummer, bemerkung, "
                                         "Datum, Programm, Mode, Station, Kanal) "
                                         "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                          {s.batteryId, number, s.remark, s.created, program, mode,
                           station.isEmpty() ? QVariant() : QVariant(station),
                           s.channel > 0 ? QVariant(s.channel) : QVariant()});
    if (!done)
        return Failure{done.error()};
    return qint32((*openUserFile(m_file))->lastInsertId());
}

Result<void> SqliteBatteryRecords::setNumber(qint32 seriesId, int number) {
    return run(QStringLiteral("UPDATE MessReihen SET Nummer = ? WHERE MessReiheID = ?"),
               {number, seriesId});
}

Result<void> SqliteBatteryRecords::setProgram(qint32 seriesId, const QString& program,
                                              const QString& mode) {
    return run(QStringLiteral("UPDATE MessReihen SET Programm = ?, Mode = ? WHERE MessReiheID = ?"),
               {program, mode, seriesId});
}

Result<DeletionLoss> SqliteBatteryRecords::lossOfBattery(qint32 batteryId) {
    const auto series =
        count(QStringLiteral("SELECT COUNT(*) FROM MessReihen WHERE AkkuId = ?"), {batteryId});
    const auto values =
        count(QStringLiteral("SELECT COUNT(*) FROM MessWerte WHERE MessReiheID IN "
                             "(SELECT MessReiheID FROM MessReihen WHERE AkkuId = ?)"),
              {batteryId});
    if (!series || !values)
        return Failure{series ? values.error() : series.error()};
    return DeletionLoss{int(*series), int(*values)};
}

Result<DeletionLoss> SqliteBatteryRecords::lossOfSeries(qint32 seriesId) {
    const auto series =
        count(QStringLiteral("SELECT COUNT(*) FROM MessReihen WHERE MessReiheID = ?"), {seriesId});
    const auto values =
        count(QStringLiteral("SELECT COUNT(*) FROM MessWerte WHERE MessReiheID = ?"), {seriesId});
    if (!series || !values)
        return Failure{series ? values.error() : series.error()};
    return DeletionLoss{int(*series), int(*values)};
}

Result<void> SqliteBatteryRecords::removeSeries(qint32 seriesId) {
    // The file deletes a series' values with it; saying so here keeps a file
    // without that rule free of orphaned values as well.
    return inOneStep([&]() -> Result<void> {
        if (auto done =
                run(QStringLiteral("DELETE FROM MessWerte WHERE MessReiheID = ?"), {seriesId});
            !done)
            return done;
        return run(QStringLiteral("DELETE FROM MessReihen WHERE MessReiheID = ?"), {seriesId});
    });
}

Result<void> SqliteBatteryRecords::closeGap(qint32 batteryId, int number) {
    return run(QStringLiteral("UPDATE MessReihen SET Nummer = Nummer - 1 "
                              "WHERE AkkuId = ? AND Nummer > ?"),
               {batteryId, number});
}

Result<void> SqliteBatteryRecords::removeBattery(qint32 batteryId) {
    return inOneStep([&]() -> Result<void> {
        if (auto done = run(QStringLiteral("DELETE FROM MessWerte WHERE MessReiheID IN "
                                           "(SELECT MessReiheID FROM MessReihen WHERE AkkuId = ?)"),
                            {batteryId});
            !done)
            return done;
        if (auto done = run(QStringLiteral("DELETE FROM MessReihen WHERE AkkuId = ?"), {batteryId});
            !done)
            return done;
        return run(QStringLiteral("DELETE FROM Akkus WHERE AkkuId = ?"), {batteryId});
    });
}

Result<void> SqliteBatteryRecords::markImporting(qint32 seriesId,
                                                 std::optional<qint32> newBattery) {
    return run(
        QStringLiteral("INSERT INTO ImportMessReihen (MessReiheID, NeuerAkku) VALUES (?, ?)"),
        {seriesId, newBattery ? QVariant(*newBattery) : QVariant()});
}

Result<void> SqliteBatteryRecords::unmarkImporting(qint32 seriesId) {
    return run(QStringLiteral("DELETE FROM ImportMessReihen WHERE MessReiheID = ?"), {seriesId});
}

} // namespace velmara
