#include "batteries/core/batterystore.h"

#include <algorithm>

namespace velmara {

QString stationText(const QString& station, int channel) {
    if (station.isEmpty())
        return channel > 0 ? QString::number(channel) : QString();
    return channel > 0 ? station + QStringLiteral(" / ") + QString::number(channel) : station;
}

BatteryStore::BatteryStore(BatteryRecords& records, Clock clock)
    : m_records(records), m_clock(std::move(clock)) {}

QDateTime BatteryStore::now() const {
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

QVector<BatteryRow> BatteryStore::batteries() {
    QVector<BatteryRow> rows = valueOr(m_records.batteries(), {});
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

QVector<SeriesRow> BatteryStore::series(qint32 batteryId) {
    return valueOr(m_records.seriesOf(batteryId), {});
}

std::optional<SeriesRow> BatteryStore::seriesById(qint32 seriesId) {
    return valueOr(m_records.seriesById(seriesId), std::optional<SeriesRow>());
}

NameCheck BatteryStore::checkName(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return NameCheck::Blank;
    const int n = valueOr(m_records.countNamed(trimmed), -1);
    if (n < 0)
        return NameCheck::Failed;
    return n == 0 ? NameCheck::Free : NameCheck::Taken;
}

std::optional<BatteryStore::Created> BatteryStore::createBattery(const QString& name,
                                                                 const QString& batteryRemark,
                                                                 const QString& seriesRemark,
                                                                 int channel) {
    m_error.clear();
    if (checkName(name) != NameCheck::Free) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The battery name is blank or taken.");
        return std::nullopt;
    }
    Created created;
    const Result<void> done = m_records.inOneStep([&]() -> Result<void> {
        const auto battery = m_records.insertBattery(name.trimmed(), batteryRemark);
        if (!battery)
            return Failure{battery.error()};
        created.batteryId = *battery;
        const auto series =
            m_records.insertSeries({*battery, 1, seriesRemark, now(), {}, {}, channel});
        if (!series)
            return Failure{series.error()};
        created.seriesId = *series;
        created.number = 1;
        return {};
    });
    if (!done) {
        m_error = done.error();
        return std::nullopt;
    }
    return created;
}

std::optional<BatteryStore::Created> BatteryStore::addSeries(qint32 batteryId,
                                                             const QString& remark, int channel) {
    m_error.clear();
    Created created;
    created.batteryId = batteryId;
    const Result<void> done = m_records.inOneStep([&]() -> Result<void> {
        const auto exists = m_records.batteryExists(batteryId);
        if (!exists)
            return Failure{exists.error()};
        if (!*exists)
            return Failure{QStringLiteral("Battery %1 does not exist.").arg(batteryId)};
        const auto highest = m_records.highestNumber(batteryId);
        if (!highest)
            return Failure{highest.error()};
        created.number = *highest + 1;
        const auto series =
            m_records.insertSeries({batteryId, created.number, remark, now(), {}, {}, channel});
        if (!series)
            return Failure{series.error()};
        created.seriesId = *series;
        return {};
    });
    if (!done) {
        m_error = done.error();
        return std::nullopt;
    }
    return created;
}

DeletionLoss BatteryStore::lossOfBattery(qint32 batteryId) {
    return valueOr(m_records.lossOfBattery(batteryId), DeletionLoss());
}

DeletionLoss BatteryStore::lossOfSeries(qint32 seriesId) {
    return valueOr(m_records.lossOfSeries(seriesId), DeletionLoss());
}

bool BatteryStore::deleteSeries(qint32 seriesId) {
    m_error.clear();
    const auto row = seriesById(seriesId);
    if (!row) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("Series %1 does not exist.").arg(seriesId);
        return false;
    }
    const Result<void> done = m_records.inOneStep([&]() -> Result<void> {
        if (auto removed = m_records.removeSeries(seriesId); !removed)
            return removed;
        return m_records.closeGap(row->batteryId, row->number);
    });
    m_error = done.error();
    return done.ok();
}

bool BatteryStore::deleteBattery(qint32 batteryId) {
    m_error.clear();
    const auto exists = m_records.batteryExists(batteryId);
    if (!exists || !*exists) {
        m_error =
            exists ? QStringLiteral("Battery %1 does not exist.").arg(batteryId) : exists.error();
        return false;
    }
    const Result<void> done = m_records.removeBattery(batteryId);
    m_error = done.error();
    return done.ok();
}

} // namespace velmara
