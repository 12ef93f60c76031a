#include "batteries/core/batterystore.h"

#include "storage/database.h"
#include "storage/recordset.h"

#include <algorithm>

namespace velmara {

BatteryStore::BatteryStore(Database& db, Clock clock) : m_db(db), m_clock(std::move(clock)) {}

QDateTime BatteryStore::now() const {
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

int BatteryStore::count(const QString& sql, const QVariantList& params) {
    const QVariant v = m_db.scalar(sql, params);
    if (!m_db.lastError().isEmpty()) {
        m_error = m_db.lastError();
        return -1;
    }
    return v.toInt();
}

bool BatteryStore::run(const QString& sql, const QVariantList& params) {
    if (m_db.execute(sql, params))
        return true;
    m_error = m_db.lastError();
    return false;
}

QVector<BatteryRow> BatteryStore::batteries() {
    QVector<BatteryRow> rows;
    // A battery made by an import that is still running is not there yet.
    auto rs = m_db.openRecordset(
        QStringLiteral("SELECT AkkuId, AkkuName, bemerkung FROM Akkus WHERE AkkuId NOT IN "
                       "(SELECT NeuerAkku FROM ImportMessReihen WHERE NeuerAkku IS NOT NULL)"));
    if (!rs->isValid()) {
        m_error = rs->error();
        return rows;
    }
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext())
        rows.append({rs->value(QStringLiteral("AkkuId")).toInt(),
                     rs->text(QStringLiteral("AkkuName")), rs->text(QStringLiteral("bemerkung"))});
    std::sort(rows.begin(), rows.end(), [](const BatteryRow& a, const BatteryRow& b) {
        if (const int c = a.name.compare(b.name, Qt::CaseInsensitive))
            return c < 0;
        if (const int c = a.name.compare(b.name))
            return c < 0;
        return a.id < b.id;
    });
    return rows;
}

std::optional<BatteryRow> BatteryStore::battery(qint32 batteryId) {
    for (const BatteryRow& row : batteries())
        if (row.id == batteryId)
            return row;
    return std::nullopt;
}

namespace {
// A series being imported is not there until its last value is.
QVector<SeriesRow> readSeries(Database& db, const QString& where, QString* error) {
    QVector<SeriesRow> rows;
    auto rs = db.openRecordset(
        QStringLiteral(
            "SELECT MessReiheID, AkkuId, Nummer, bemerkung, Mode, Datum FROM MessReihen ") +
        where +
        QStringLiteral(" AND MessReiheID NOT IN (SELECT MessReiheID FROM ImportMessReihen) "
                       "ORDER BY Nummer ASC, MessReiheID ASC"));
    if (!rs->isValid()) {
        *error = rs->error();
        return rows;
    }
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext()) {
        SeriesRow row;
        row.id = rs->value(QStringLiteral("MessReiheID")).toInt();
        row.batteryId = rs->value(QStringLiteral("AkkuId")).toInt();
        row.number = rs->value(QStringLiteral("Nummer")).toInt();
        row.remark = rs->text(QStringLiteral("bemerkung"));
        row.mode = rs->text(QStringLiteral("Mode"));
        row.createdText = rs->text(QStringLiteral("Datum"));
        row.created = QDateTime::fromString(row.createdText, Qt::ISODate);
        rows.append(row);
    }
    return rows;
}
} // namespace

QVector<SeriesRow> BatteryStore::series(qint32 batteryId) {
    return readSeries(m_db, QStringLiteral("WHERE AkkuId=") + QString::number(batteryId), &m_error);
}

std::optional<SeriesRow> BatteryStore::seriesById(qint32 seriesId) {
    const auto rows = readSeries(
        m_db, QStringLiteral("WHERE MessReiheID=") + QString::number(seriesId), &m_error);
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

NameCheck BatteryStore::checkName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return NameCheck::Blank;
    // = compares exactly: "Akku" and "akku" are two names.
    const int n = count(QStringLiteral("SELECT COUNT(*) FROM Akkus WHERE AkkuName = ?"), {trimmed});
    if (n < 0)
        return NameCheck::Failed;
    return n == 0 ? NameCheck::Free : NameCheck::Taken;
}

std::optional<BatteryStore::Created> BatteryStore::createBattery(const QString& name,
                                                                 const QString& batteryRemark,
                                                                 const QString& seriesRemark) {
    m_error.clear();
    if (checkName(name) != NameCheck::Free) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The battery name is blank or taken.");
        return std::nullopt;
    }
    Created created;
    const bool ok = m_db.transaction([&] {
        if (!run(QStringLiteral("INSERT INTO Akkus (AkkuName, bemerkung) VALUES (?, ?)"),
                 {name.trimmed(), batteryRemark}))
            return false;
        created.batteryId = qint32(m_db.lastInsertId());
        if (!run(QStringLiteral("INSERT INTO MessReihen (AkkuId, Nummer, bemerkung, Datum) "
                                "VALUES (?, 1, ?, ?)"),
                 {created.batteryId, seriesRemark, now()}))
            return false;
        created.seriesId = qint32(m_db.lastInsertId());
        created.number = 1;
        return true;
    });
    if (!ok) {
        if (m_error.isEmpty())
            m_error = m_db.lastError();
        return std::nullopt;
    }
    return created;
}

std::optional<BatteryStore::Created> BatteryStore::addSeries(qint32 batteryId,
                                                             const QString& remark) {
    m_error.clear();
    Created created;
    created.batteryId = batteryId;
    const bool ok = m_db.transaction([&] {
        if (count(QStringLiteral("SELECT COUNT(*) FROM Akkus WHERE AkkuId = ?"), {batteryId}) !=
            1) {
            m_error = QStringLiteral("Battery %1 does not exist.").arg(batteryId);
            return false;
        }
        const int highest = count(
            QStringLiteral("SELECT COALESCE(MAX(Nummer), 0) FROM MessReihen WHERE AkkuId = ?"),
            {batteryId});
        if (highest < 0)
            return false;
        created.number = highest + 1;
        if (!run(QStringLiteral("INSERT INTO MessReihen (AkkuId, Nummer, bemerkung, Datum) "
                                "VALUES (?, ?, ?, ?)"),
                 {batteryId, created.number, remark, now()}))
            return false;
        created.seriesId = qint32(m_db.lastInsertId());
        return true;
    });
    if (!ok)
        return std::nullopt;
    return created;
}

DeletionLoss BatteryStore::lossOfBattery(qint32 batteryId) {
    DeletionLoss loss;
    loss.series = std::max(
        0, count(QStringLiteral("SELECT COUNT(*) FROM MessReihen WHERE AkkuId = ?"), {batteryId}));
    loss.values =
        std::max(0, count(QStringLiteral("SELECT COUNT(*) FROM MessWerte WHERE MessReiheID IN "
                                         "(SELECT MessReiheID FROM MessReihen WHERE AkkuId = ?)"),
                          {batteryId}));
    return loss;
}

DeletionLoss BatteryStore::lossOfSeries(qint32 seriesId) {
    DeletionLoss loss;
    loss.series =
        std::max(0, count(QStringLiteral("SELECT COUNT(*) FROM MessReihen WHERE MessReiheID = ?"),
                          {seriesId}));
    loss.values =
        std::max(0, count(QStringLiteral("SELECT COUNT(*) FROM MessWerte WHERE MessReiheID = ?"),
                          {seriesId}));
    return loss;
}

bool BatteryStore::deleteSeries(qint32 seriesId) {
    m_error.clear();
    const auto row = seriesById(seriesId);
    if (!row) {
        m_error = QStringLiteral("Series %1 does not exist.").arg(seriesId);
        return false;
    }
    // The file deletes a series' values with it; saying so here keeps a file
    // without that rule free of orphaned values as well.
    return m_db.transaction([&] {
        return run(QStringLiteral("DELETE FROM MessWerte WHERE MessReiheID = ?"), {seriesId}) &&
               run(QStringLiteral("DELETE FROM MessReihen WHERE MessReiheID = ?"), {seriesId}) &&
               run(QStringLiteral("UPDATE MessReihen SET Nummer = Nummer - 1 "
                                  "WHERE AkkuId = ? AND Nummer > ?"),
                   {row->batteryId, row->number});
    });
}

bool BatteryStore::deleteBattery(qint32 batteryId) {
    m_error.clear();
    if (count(QStringLiteral("SELECT COUNT(*) FROM Akkus WHERE AkkuId = ?"), {batteryId}) != 1) {
        m_error = QStringLiteral("Battery %1 does not exist.").arg(batteryId);
        return false;
    }
    return m_db.transaction([&] {
        return run(QStringLiteral("DELETE FROM MessWerte WHERE MessReiheID IN "
                                  "(SELECT MessReiheID FROM MessReihen WHERE AkkuId = ?)"),
                   {batteryId}) &&
               run(QStringLiteral("DELETE FROM MessReihen WHERE AkkuId = ?"), {batteryId}) &&
               run(QStringLiteral("DELETE FROM Akkus WHERE AkkuId = ?"), {batteryId});
    });
}

} // namespace velmara
