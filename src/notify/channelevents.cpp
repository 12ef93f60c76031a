#include "notify/channelevents.h"

#include "notify/desktopnotifier.h"

namespace velmara {

namespace {
constexpr qint16 kStatus = 2;
constexpr qint16 kStatusWithoutValues = 11;
constexpr qint16 kCharging = 2, kDischarging = 3, kTrickle = 4, kFinished = 5, kWaiting = 6,
                 kFault = 7;

// A pause (waiting) belongs to the process; the trickle charge comes after it.
bool running(qint16 state) {
    return state == kCharging || state == kDischarging || state == kWaiting;
}
} // namespace

std::optional<ChannelEvent> ChannelEventWatcher::observe(qint16 answerKind, qint16 state,
                                                         qint16 faultCode) {
    // No answer or a bad one says nothing about the channel: the watch goes on
    // from the last state that was read.
    if (answerKind != kStatus && answerKind != kStatusWithoutValues)
        return std::nullopt;
    const qint16 fault = state == kFault ? faultCode : 0;
    const bool started = m_started;
    const qint16 before = m_state;
    const qint16 faultBefore = m_fault;
    m_started = true;
    m_state = state;
    m_fault = fault;
    if (!started)
        return std::nullopt;
    if (state == kFault && (before != kFault || faultBefore != fault))
        return ChannelEvent{m_code, ChannelEvent::Kind::Fault, state, fault};
    if ((state == kFinished || state == kTrickle) && running(before))
        return ChannelEvent{m_code, ChannelEvent::Kind::Ended, state, 0};
    return std::nullopt;
}

QString eventStateKey(const ChannelEvent& event) {
    if (event.kind == ChannelEvent::Kind::Ended)
        return event.state == kTrickle ? QStringLiteral("6016") : QStringLiteral("6018");
    switch (event.faultCode) {
    case 2:
        return QStringLiteral("0878");
    case 3:
        return QStringLiteral("0880");
    case 4:
        return QStringLiteral("0882");
    case 5:
        return QStringLiteral("0874");
    case 6:
        return QStringLiteral("0876");
    case 7:
        return QStringLiteral("0884");
    case 8:
        return QStringLiteral("0886");
    case 9:
        return QStringLiteral("0888");
    default:
        return QStringLiteral("6022");
    }
}

bool notificationsEnabled(const QString& settingValue) {
    return settingValue.isEmpty() || settingValue == QLatin1String("YES");
}

ChannelNotifications::ChannelNotifications(DesktopNotifier& notifier, TextLookup text,
                                           SettingLookup setting)
    : m_notifier(notifier), m_text(std::move(text)), m_setting(std::move(setting)) {}

void ChannelNotifications::tell(const ChannelEvent& event) {
    if (m_setting && !notificationsEnabled(m_setting()))
        return;
    const int channel = event.channelCode.toInt();
    const QString title = m_text(QStringLiteral("2200")).arg(channel);
    const bool fault = event.kind == ChannelEvent::Kind::Fault;
    QString state = m_text(eventStateKey(event));
    // Most fault texts begin with "Fault:", which the sentence around them says already.
    const QString faultWord = m_text(QStringLiteral("4216"));
    if (fault && state.startsWith(faultWord))
        state = state.mid(faultWord.size()).trimmed();
    const QString body = m_text(fault ? QStringLiteral("2204") : QStringLiteral("2202")).arg(state);
    m_notifier.notify(
        title, body, fault ? DesktopNotifier::Urgency::Critical : DesktopNotifier::Urgency::Normal);
}

bool ChannelNotifications::switchedOnWithoutService() {
    if (m_toldNoService || m_notifier.available())
        return false;
    m_toldNoService = true;
    return true;
}

} // namespace velmara
