#pragma once
// Ships the values that wait in the user file's outbox to the server, oldest
// first, a portion per transaction, and takes them out of the outbox once the
// server has committed them. The server stores a value it already has once
// (the station's key and sequence number name it), so a portion sent again
// after a lost answer or a crash changes nothing. While the server cannot be
// reached the values stay in the outbox and the shipper tries again, waiting
// longer each time up to a bound. Nothing here waits on the user interface's
// thread: the connection runs on the event loop.
#include "base/core/result.h"
#include "storage/pgconnection.h"

#include <QHash>
#include <QObject>

#include <chrono>
#include <memory>

namespace velmara {

class ServerOutbox;
class ShipperState;

struct ShipperOptions {
    QString conninfo;
    PgConnection::Wait connectWait{5000};
    PgConnection::Wait statementWait{10000};
    int portion = 500;
    std::chrono::milliseconds firstRetry{500};
    std::chrono::milliseconds lastRetry{8000};
};

class ValueShipper : public QObject {
    Q_OBJECT
public:
    ValueShipper(ServerOutbox& outbox, QString stationKey, ShipperOptions options,
                 QObject* parent = nullptr);
    ~ValueShipper() override;

    // Counts what waits and starts shipping it.
    void start();
    // Values of a series were queued.
    void queued(qint32 seriesId, qint64 count);

    int waiting() const;
    int waitingFor(qint32 seriesId) const;
    // The server answered the last attempt (true before the first).
    bool reachable() const;
    // Why the last attempt failed ("" after one that went through).
    QString lastError() const;

Q_SIGNALS:
    // The number of values waiting changed, or whether the server answers.
    void changed();
    // The server committed the values up to the outbox's seq (inclusive).
    void shipped(qint64 seq);

private:
    std::shared_ptr<ShipperState> m_state;
};

} // namespace velmara
