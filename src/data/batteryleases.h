#pragma once
// Which station records a battery, when the user data is on a server: the
// recording station holds a lock on the battery on a connection of its own,
// and the server lets it go when that connection ends, so a station that
// dies or loses its network frees its batteries without anyone cleaning up
// (a station whose program ends at once; a station that falls silent after
// the server's keepalive probes: 10 s + 3 x 5 s). Calls from the user
// interface run on the store thread (storethread.h).
#include "base/core/result.h"

#include <QSet>
#include <QString>

#include <memory>

namespace velmara {

class ServerLine;
class StoreThread;

class BatteryLeases {
public:
    BatteryLeases(StoreThread& thread, const QString& conninfo, const QString& station);
    ~BatteryLeases();

    // Takes the battery for this station: true when it holds it now (also
    // when it held it already); false when another station does, with its
    // name in *holder.
    Result<bool> take(qint32 batteryId, QString* holder = nullptr);
    // Lets the battery go.
    void release(qint32 batteryId);
    // The name of another station that holds the battery; "" when none does.
    Result<QString> holder(qint32 batteryId);
    // The batteries this station holds.
    QSet<qint32> held() const { return m_held; }
    // Asks the server whether the connection still stands; after a lost one
    // the held batteries are taken again (those another station took
    // meanwhile are listed in the failure).
    Result<void> check();

private:
    Result<bool> takeHere(qint32 batteryId, QString* holder);

    StoreThread& m_thread;
    std::unique_ptr<ServerLine> m_line; // used on the store thread only
    QSet<qint32> m_held;
};

} // namespace velmara
