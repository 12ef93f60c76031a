#include "data/valueshipper.h"

#include "data/stores/serveroutbox.h"

#include <QCoroSignal>
#include <QCoroTask>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>

namespace velmara {

// Shared by the shipper and its running loop, which may outlive it by one
// wait: the loop ends at its next step once alive is false.
class ShipperState : public QObject {
    Q_OBJECT
public:
    ServerOutbox* outbox = nullptr;
    QString stationKey;
    ShipperOptions options;
    bool alive = true;
    bool running = false;
    bool reachable = true;
    QString error;
    QHash<qint32, int> waiting;
    int total = 0;
    ValueShipper* owner = nullptr;

    void tell() {
        if (owner)
            Q_EMIT owner->changed();
    }
    void failed(const QString& why) {
        const bool news = reachable || error != why;
        reachable = false;
        error = why;
        if (news)
            tell();
    }
Q_SIGNALS:
    void nudged();
};

namespace {

// Ends once, when the state is nudged or the time is up.
class Pause : public QObject {
    Q_OBJECT
public:
    Pause(ShipperState& state, std::chrono::milliseconds wait) {
        connect(&state, &ShipperState::nudged, this, &Pause::finish);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &Pause::finish);
        m_timer.start(wait);
    }
Q_SIGNALS:
    void finished();

private:
    void finish() {
        if (m_done)
            return;
        m_done = true;
        m_timer.stop();
        Q_EMIT finished(); // the awaiting loop may end this object here
    }
    QTimer m_timer;
    bool m_done = false;
};

QCoro::Task<> pause(ShipperState& state, std::chrono::milliseconds wait) {
    Pause p(state, wait);
    co_await qCoro(&p, &Pause::finished);
}

// The server numbers the values of a series behind those it has, in the
// station's order; one it already has (same station key and sequence) and one
// whose series is gone are left out. One statement: all of the portion or none.
QString shipStatement() {
    return QStringLiteral(
        "INSERT INTO MessWerte (MessReiheID, Seq, EW, MessWertString, StationKey, StationSeq) "
        "SELECT v.s, COALESCE((SELECT MAX(w.Seq) FROM MessWerte w WHERE w.MessReiheID = v.s), 0) "
        "+ row_number() OVER (PARTITION BY v.s ORDER BY v.q), v.e, v.t, $1, v.q FROM "
        "(SELECT (x->>0)::integer AS s, (x->>1)::bigint AS q, (x->>2)::boolean AS e, x->>3 AS t "
        "FROM jsonb_array_elements($2::jsonb) AS x) v "
        "WHERE EXISTS (SELECT 1 FROM MessReihen r WHERE r.MessReiheID = v.s) AND NOT EXISTS "
        "(SELECT 1 FROM MessWerte d WHERE d.MessReiheID = v.s AND d.StationKey = $1 AND "
        "d.StationSeq = v.q)");
}

QString portionText(const QVector<QueuedValue>& values) {
    QJsonArray rows;
    for (const QueuedValue& v : values)
        rows.append(QJsonArray{v.seriesId, QString::number(v.seq), v.endValue, v.text});
    return QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
}

QCoro::Task<> shipLoop(std::shared_ptr<ShipperState> state) {
    std::unique_ptr<PgConnection> server;
    std::chrono::milliseconds retry = state->options.firstRetry;
    // Connected from the start, so the first value does not wait for the
    // connection to be made; a server away now is told once values wait.
    if (auto opened =
            co_await PgConnection::open(state->options.conninfo, state->options.connectWait)) {
        if (!state->alive)
            co_return;
        server = std::move(*opened);
    } else if (!state->alive) {
        co_return;
    }
    while (state->alive) {
        const auto portion = state->outbox->oldest(state->options.portion);
        if (!portion) {
            state->failed(portion.error()); // the user file; tried again after a pause
        } else if (portion->isEmpty()) {
            co_await pause(*state, std::chrono::seconds(60));
            continue;
        } else {
            if (!server || !server->isOpen()) {
                auto opened = co_await PgConnection::open(state->options.conninfo,
                                                          state->options.connectWait);
                if (!state->alive)
                    co_return;
                if (opened)
                    server = std::move(*opened);
                else
                    state->failed(opened.error());
            }
            if (server) {
                // (A braced list inside co_await trips GCC 12.)
                QList<QVariant> params;
                params << state->stationKey << portionText(*portion);
                const auto shipped =
                    co_await server->exec(shipStatement(), params, state->options.statementWait);
                if (!state->alive)
                    co_return;
                if (shipped && state->owner)
                    Q_EMIT state->owner->shipped(portion->last().seq);
                if (!state->alive)
                    co_return;
                const Result<void> removed =
                    shipped ? state->outbox->removeUpTo(portion->last().seq) : Result<void>();
                if (!shipped) {
                    server.reset();
                    state->failed(shipped.error());
                } else if (!removed) {
                    state->failed(removed.error()); // sent again later: the server keeps it once
                } else {
                    for (const QueuedValue& v : *portion) {
                        auto it = state->waiting.find(v.seriesId);
                        if (it != state->waiting.end() && --*it <= 0)
                            state->waiting.erase(it);
                    }
                    state->total = std::max(0, state->total - int(portion->size()));
                    state->reachable = true;
                    state->error.clear();
                    retry = state->options.firstRetry;
                    state->tell();
                    continue;
                }
            }
        }
        co_await pause(*state, retry);
        retry = std::min(retry * 2, state->options.lastRetry);
    }
}

} // namespace

ValueShipper::ValueShipper(ServerOutbox& outbox, QString stationKey, ShipperOptions options,
                           QObject* parent)
    : QObject(parent), m_state(std::make_shared<ShipperState>()) {
    m_state->outbox = &outbox;
    m_state->stationKey = std::move(stationKey);
    m_state->options = std::move(options);
    m_state->owner = this;
}

ValueShipper::~ValueShipper() {
    m_state->alive = false;
    m_state->owner = nullptr;
    Q_EMIT m_state->nudged(); // a loop that pauses ends now
}

void ValueShipper::start() {
    if (m_state->running)
        return;
    m_state->running = true;
    if (const auto counted = m_state->outbox->waitingBySeries(); counted) {
        m_state->waiting = *counted;
        m_state->total = 0;
        for (int n : std::as_const(m_state->waiting))
            m_state->total += n;
    }
    shipLoop(m_state);
}

void ValueShipper::queued(qint32 seriesId, qint64 count) {
    m_state->waiting[seriesId] += int(count);
    m_state->total += int(count);
    Q_EMIT changed();
    Q_EMIT m_state->nudged();
}

int ValueShipper::waiting() const {
    return m_state->total;
}

int ValueShipper::waitingFor(qint32 seriesId) const {
    return m_state->waiting.value(seriesId);
}

bool ValueShipper::reachable() const {
    return m_state->reachable;
}

QString ValueShipper::lastError() const {
    return m_state->error;
}

} // namespace velmara

#include "valueshipper.moc"
