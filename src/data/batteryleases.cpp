#include "data/batteryleases.h"

#include "data/stores/serverline.h"
#include "data/stores/storethread.h"

namespace velmara {

namespace {
// The first half of every battery lock's key: velmara's, beside other
// programs' locks on the same server.
constexpr int kLockSpace = 1986358382;

const QString kHolder = QStringLiteral(
    "SELECT a.application_name FROM pg_locks l JOIN pg_stat_activity a ON a.pid = l.pid "
    "WHERE l.locktype = 'advisory' AND l.classid = %1 AND l.objid = $1 AND l.objsubid = 2 "
    "AND l.granted AND l.pid <> pg_backend_pid() LIMIT 1");

QString stationOf(const QVariant& applicationName) {
    QString name = applicationName.toString();
    name.remove(0, name.indexOf(QLatin1Char(' ')) + 1); // "velmara NAME"
    return name.isEmpty() ? QStringLiteral("?") : name;
}
} // namespace

BatteryLeases::BatteryLeases(StoreThread& thread, const QString& conninfo, const QString& station)
    : m_thread(thread), m_line(std::make_unique<ServerLine>(conninfo)) {
    // The server finds out within 25 s that a silent station is gone, and
    // never ends this connection for standing idle.
    m_line->setOnConnect([name = QStringLiteral("velmara ") +
                                 station.left(50)](PgConnection& c) -> Result<void> {
        const auto set = c.run(QStringLiteral("SELECT set_config('application_name', $1, false), "
                                              "set_config('tcp_keepalives_idle', '10', false), "
                                              "set_config('tcp_keepalives_interval', '5', false), "
                                              "set_config('tcp_keepalives_count', '3', false), "
                                              "set_config('idle_session_timeout', '0', false)"),
                               {name});
        if (!set)
            return Failure{set.error()};
        return {};
    });
}

BatteryLeases::~BatteryLeases() {
    m_thread.call([this] {
        m_line.reset(); // the server lets every battery go
        return true;
    });
}

Result<bool> BatteryLeases::takeHere(qint32 batteryId, QString* holder) {
    const auto taken = m_line->run(
        QStringLiteral("SELECT pg_try_advisory_lock(%1, $1)").arg(kLockSpace), {batteryId});
    if (!taken)
        return Failure{taken.error()};
    if (taken->value().toString() == QLatin1String("t"))
        return true;
    if (holder) {
        const auto who = m_line->run(kHolder.arg(kLockSpace), {batteryId});
        *holder = who ? stationOf(who->value()) : QStringLiteral("?");
    }
    return false;
}

Result<bool> BatteryLeases::take(qint32 batteryId, QString* holder) {
    if (m_held.contains(batteryId))
        return true;
    QString other;
    const auto taken = m_thread.call([&] { return takeHere(batteryId, &other); });
    if (taken && *taken)
        m_held.insert(batteryId);
    if (holder)
        *holder = other;
    return taken;
}

void BatteryLeases::release(qint32 batteryId) {
    if (!m_held.remove(batteryId))
        return;
    (void)m_thread.call([&] {
        return m_line->run(QStringLiteral("SELECT pg_advisory_unlock(%1, $1)").arg(kLockSpace),
                           {batteryId});
    });
}

Result<QString> BatteryLeases::holder(qint32 batteryId) {
    return m_thread.call([&]() -> Result<QString> {
        const auto who = m_line->run(kHolder.arg(kLockSpace), {batteryId});
        if (!who)
            return Failure{who.error()};
        return who->rows.isEmpty() ? QString() : stationOf(who->value());
    });
}

Result<void> BatteryLeases::check() {
    const QSet<qint32> held = m_held;
    return m_thread.call([&]() -> Result<void> {
        const int before = m_line->connectionsMade();
        const auto alive = m_line->run(QStringLiteral("SELECT 1"));
        if (!alive)
            return Failure{alive.error()};
        if (m_line->connectionsMade() == before)
            return {};
        // A new connection: the server let the batteries go with the old one.
        QStringList lost;
        for (qint32 battery : held) {
            QString other;
            const auto again = takeHere(battery, &other);
            if (!again || !*again)
                lost << QStringLiteral("battery %1 (%2)")
                            .arg(battery)
                            .arg(again ? other : again.error());
        }
        if (!lost.isEmpty())
            return Failure{QStringLiteral("taken by another station meanwhile: ") +
                           lost.join(QStringLiteral(", "))};
        return {};
    });
}

} // namespace velmara
