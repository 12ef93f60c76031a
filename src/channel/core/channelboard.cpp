#include "channel/core/channelboard.h"

#include "channel/core/channelscreen.h"
#include "data/valueshipper.h"

#include "link/turnqueue.h"

namespace velmara {

struct ChannelBoard::Channel {
    explicit Channel(ChannelCode c) : code(c), events(c.text()) {}
    ChannelCode code;
    // The screen outlives the controller, which writes to it.
    std::unique_ptr<ChannelScreen> screen;
    std::unique_ptr<ChannelController> controller;
    ChannelEventWatcher events;
    ChannelSnapshot last;
    // What the controller told the main window's side of it.
    QString stateText;
    bool fault = false;
    int waiting = 0;
    QString waitingReason;
    int readings = 0;
    QDateTime readAt;
    QList<ChannelEvent> pendingEvents; // told with the snapshot of their reading
};

ChannelBoard::ChannelBoard(Session& session, QObject* parent)
    : QObject(parent), m_session(session), m_turn(std::make_shared<TurnQueue>()) {}

ChannelBoard::~ChannelBoard() {
    stopAll();
}

ChannelController& ChannelBoard::start(ChannelCode code, ChargerLink* link, bool startPolling,
                                       ChannelController::Clock clock) {
    Q_ASSERT(code.isValid());
    if (ChannelController* running = controller(code))
        return *running;
    auto& slot = m_channels[size_t(code.number() - 1)];
    slot = std::make_unique<Channel>(code);
    Channel* ch = slot.get();
    ch->screen = std::make_unique<ChannelScreen>(
        [this, ch] { refresh(*ch); },
        [this, ch](const StatusRecord& status) { polled(*ch, status); });
    ChannelHost& shared = *this;
    auto controller = std::make_unique<ChannelController>(m_session, code, link, shared,
                                                          *ch->screen, std::move(clock));
    connect(controller.get(), &ChannelController::changed, this, [this, ch] { refresh(*ch); });
    ch->controller = std::move(controller);
    ch->last = build(*ch);
    ch->controller->load(startPolling);
    return *ch->controller;
}

void ChannelBoard::stopAll() {
    for (auto& slot : m_channels) {
        if (!slot)
            continue;
        // Taken out first: what the controller does while it goes is not published.
        std::unique_ptr<ChannelController> controller = std::move(slot->controller);
        controller.reset();
        slot.reset();
    }
}

ChannelBoard::Channel* ChannelBoard::channel(ChannelCode code) const {
    if (!code.isValid())
        return nullptr;
    return m_channels[size_t(code.number() - 1)].get();
}

ChannelController* ChannelBoard::controller(ChannelCode code) const {
    const Channel* ch = channel(code);
    return ch ? ch->controller.get() : nullptr;
}

ChannelController* ChannelBoard::controller(const QString& channelCode) const {
    return controller(ChannelCode::fromText(channelCode).value_or(ChannelCode()));
}

void ChannelBoard::attach(ChannelCode code, ChannelDisplay* window) {
    if (Channel* ch = channel(code))
        ch->screen->attach(window);
}

void ChannelBoard::detach(ChannelCode code, ChannelDisplay* window) {
    Channel* ch = channel(code);
    if (ch && ch->screen->view() == window)
        ch->screen->attach(nullptr);
}

ChannelSnapshot ChannelBoard::snapshot(ChannelCode code) const {
    const Channel* ch = channel(code);
    return ch && ch->controller ? ch->last : ChannelSnapshot();
}

const ChannelScreen* ChannelBoard::screen(ChannelCode code) const {
    const Channel* ch = channel(code);
    return ch && ch->controller ? ch->screen.get() : nullptr;
}

void ChannelBoard::setStatusbarText(const QString& channelCode, const QString& text, bool fault) {
    if (Channel* ch = channel(ChannelCode::fromText(channelCode).value_or(ChannelCode()))) {
        ch->stateText = text;
        ch->fault = fault;
        refresh(*ch);
    }
}

void ChannelBoard::followShipper(ValueShipper& shipper) {
    connect(&shipper, &ValueShipper::changed, this, [this] {
        for (const auto& channel : m_channels)
            if (channel && channel->controller)
                channel->controller->recorder().reportServerWaiting();
    });
}

void ChannelBoard::setValuesWaiting(const QString& channelCode, int waiting,
                                    const QString& reason) {
    if (Channel* ch = channel(ChannelCode::fromText(channelCode).value_or(ChannelCode()))) {
        ch->waiting = waiting;
        ch->waitingReason = reason;
        refresh(*ch);
    }
}

void ChannelBoard::polled(Channel& ch, const StatusRecord& status) {
    if (!ch.controller)
        return;
    ++ch.readings;
    ch.readAt = ch.controller->recorder().currentTime();
    if (const auto event = ch.events.observe(status.answerType, status.stateCode, status.faultCode))
        ch.pendingEvents.append(*event);
    refresh(ch);
}

// Every call of the controller to its screen or to the shared side may change
// what the channel shows; only a change is published. While a step of the
// channel runs, what it shows is half done: the end of the step tells it.
void ChannelBoard::refresh(Channel& ch) {
    if (!ch.controller || ch.controller->isBusy())
        return;
    ChannelSnapshot now = build(ch);
    if (now != ch.last) {
        const ChannelSnapshot before = std::exchange(ch.last, std::move(now));
        const ChannelSnapshot& after = ch.last;
        Q_EMIT snapshotChanged(after);
        if (!before.recording && after.recording)
            Q_EMIT recordingStarted(after.channelCode, after.batteryId, after.seriesId);
        else if (before.recording && !after.recording)
            Q_EMIT recordingStopped(after.channelCode, before.batteryId, before.seriesId);
    }
    for (const ChannelEvent& event : std::exchange(ch.pendingEvents, {}))
        Q_EMIT channelEvent(event);
}

namespace {

ChannelEndValue endValueOf(const EndValueRecord& record) {
    ChannelEndValue value;
    value.capacityMah = record.capacityMah;
    value.cycleSeconds = record.cycleSeconds;
    value.voltageMv = record.voltageMv;
    value.selfDischargeMah = record.selfDischarge;
    value.hasBatteryCondition = record.hasBatteryCondition;
    value.batteryGood = record.batteryCondition;
    value.percent = record.percent;
    value.storedId = record.tempId;
    return value;
}

} // namespace

ChannelSnapshot ChannelBoard::build(const Channel& ch) const {
    const ChannelController& c = *ch.controller;
    const StatusRecord& status = c.status();
    ChannelSnapshot s;
    s.channelCode = ch.code.text();
    s.answerType = status.answerType;
    s.stateCode = status.stateCode;
    s.faultCode = status.faultCode;
    s.currentMa = status.currentMa;
    s.voltageMv = status.voltageMv;
    s.capacityMah = status.capacityMah;
    s.readings = ch.readings;
    s.readAt = ch.readAt;
    s.valuesShown = !ch.screen->text(ChannelField::Strom).isEmpty();
    s.valuesStale = ch.screen->valuesStale();
    s.stateText = ch.stateText;
    s.fault = ch.fault;
    s.recording = c.isRecording();
    s.recordingQueued = c.isRecordingQueued();
    s.batteryId = c.batteryId();
    s.seriesId = c.seriesId();
    s.tempSeriesId = c.tempSeriesId();
    s.tempSeriesUsed = c.tempSeriesUsed();
    s.tempSeriesStart = c.tempSeriesStart();
    s.valuesWaiting = ch.waiting;
    s.waitingReason = ch.waitingReason;
    // The lists the window shows: those of this channel.
    const EndValueList& list = c.endValues();
    if (!list.isEmpty() && list.first()->channelCode == ch.code)
        for (const auto& record : list)
            (record->endValueType == EndValueRecord::AfterDischarge ? s.afterDischarge
                                                                    : s.afterCharge)
                .append(endValueOf(*record));
    return s;
}

} // namespace velmara
