#pragma once
// Where every test and benchmark against the user data's server starts: the
// server of the run (PGHOST, PGPORT, ...) without velmara's tables, or with
// the current schema and nothing in it.
#include "data/serverschema.h"
#include "data/stores/serverline.h"
#include "storage/pgconnection.h"

namespace velmara::test {

inline Result<void> emptyServer(bool withSchema = true) {
    ServerLine line(QString{});
    const auto dropped = line.run(QStringLiteral(
        "DROP TABLE IF EXISTS MessWerte, ImportMessReihen, MessReihen, Akkus, Programme, "
        "Uebernahmen, velmara_schema"));
    if (!dropped)
        return Failure{dropped.error()};
    if (!withSchema)
        return {};
    const auto server = PgConnection::openHere(QString{});
    if (!server)
        return Failure{server.error()};
    if (const auto version = upgradeServerSchema(**server); !version)
        return Failure{version.error()};
    return {};
}

} // namespace velmara::test
