#include "data/userdataplace.h"

#include "data/settingsstore.h"
#include "storage/pgconnection.h"

namespace velmara {

namespace {
const QString kServer = QStringLiteral("UserDataServer");
const QString kStation = QStringLiteral("StationName");
} // namespace

UserDataPlace loadUserDataPlace(SettingsStore& settings) {
    return {settings.getSetting(kServer).trimmed(), settings.getSetting(kStation).trimmed()};
}

void storeUserDataPlace(SettingsStore& settings, const UserDataPlace& place) {
    settings.setOrAddSetting(kServer, place.server.trimmed());
    settings.setOrAddSetting(kStation, place.station.trimmed());
}

QCoro::Task<Result<int>> probeServer(QString conninfo) {
    auto opened = co_await PgConnection::open(conninfo, PgConnection::Wait(5000));
    if (!opened)
        co_return Failure{opened.error()};
    const auto version = co_await (*opened)->exec(
        QStringLiteral("SELECT CASE WHEN to_regclass('velmara_schema') IS NULL THEN 0 "
                       "ELSE (SELECT max(version) FROM velmara_schema) END"),
        {}, PgConnection::Wait(5000));
    if (!version)
        co_return Failure{version.error()};
    co_return version->value().toInt();
}

} // namespace velmara
