#pragma once
// The charger's channels in one place. The board owns each channel's
// controller and what the channels share (whether the charger is missing, the
// numbers of the temporary series, the turn they take on the line), and tells
// whoever listens what each channel shows: a snapshot whenever it changes, and
// the events of a channel (its process ended, a fault, a recording started or
// stopped). The channel windows, the status bar and the notifications listen;
// none of them owns a channel. One board for the whole program, made beside
// the session.
#include "channel/core/channelcontroller.h"
#include "channel/core/channelsnapshot.h"
#include "notify/channelevents.h"

#include <QObject>

#include <array>
#include <memory>

namespace velmara {

class ValueShipper;

class ChannelScreen;
class ChargerLink;
class Session;
class TurnQueue;

class ChannelBoard : public QObject, private ChannelHost {
    Q_OBJECT
public:
    explicit ChannelBoard(Session& session, QObject* parent = nullptr);
    ~ChannelBoard() override;

    // Starts the channel, whose controller polls through link (null: no line),
    // unless it runs already. startPolling false: the poll timer is not started
    // (tests drive tick()). clock: the time of the values (default: now).
    ChannelController& start(ChannelCode code, ChargerLink* link, bool startPolling = true,
                             ChannelController::Clock clock = {});
    // The controller of a running channel; null for any other.
    ChannelController* controller(ChannelCode code) const;
    ChannelController* controller(const QString& channelCode) const;
    // Ends every channel: before the link and the files go.
    void stopAll();
    // The channels' marks of values waiting for the server follow its count.
    void followShipper(ValueShipper& shipper);

    // The window of a channel: shown what the channel shows now, then every
    // change. One window per channel; detach with the window that is attached.
    void attach(ChannelCode code, ChannelDisplay* window);
    void detach(ChannelCode code, ChannelDisplay* window);

    // What the channel shows now (for a listener that comes late); an empty
    // snapshot for a channel that does not run.
    ChannelSnapshot snapshot(ChannelCode code) const;
    // The texts the channel's window shows now (null for a channel that does
    // not run), for a listener that shows them elsewhere.
    const ChannelScreen* screen(ChannelCode code) const;

    // --- shared by the channels ---
    // Channel 1 found no charger: the other channels stay silent.
    bool chargerMissing() const override { return m_chargerMissing; }
    // The temporary series handed out so far (1, 2, 3, ... per run).
    qint32 tempSeriesCount() const { return m_nextTempSeries - 1; }
    std::shared_ptr<TurnQueue> channelTurn() override { return m_turn; }

Q_SIGNALS:
    void snapshotChanged(const velmara::ChannelSnapshot& snapshot);
    // The process of a channel ended, or the charger reports a fault: once each.
    void channelEvent(const velmara::ChannelEvent& event);
    void recordingStarted(const QString& channelCode, qint32 batteryId, qint32 seriesId);
    void recordingStopped(const QString& channelCode, qint32 batteryId, qint32 seriesId);

private:
    struct Channel;
    Channel* channel(ChannelCode code) const;
    void refresh(Channel& channel);
    void polled(Channel& channel, const StatusRecord& status);
    ChannelSnapshot build(const Channel& channel) const;

    // ChannelHost
    void setChargerMissing(bool value) override { m_chargerMissing = value; }
    qint32 newTempSeriesId() override { return m_nextTempSeries++; }
    void setStatusbarText(const QString& channelCode, const QString& text, bool fault) override;
    void setValuesWaiting(const QString& channelCode, int waiting, const QString& reason) override;

    Session& m_session;
    bool m_chargerMissing = false;
    qint32 m_nextTempSeries = 1;
    std::shared_ptr<TurnQueue> m_turn;
    std::array<std::unique_ptr<Channel>, ChannelCode::kMaxNumber> m_channels;
};

} // namespace velmara
