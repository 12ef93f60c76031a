#pragma once
// What a user away from the screen wants to hear of a channel: its process has
// ended (finished, or gone over to the trickle charge that follows a full
// charge), or the charger reports a fault. The watcher is fed the channel's state
// after every poll and tells each event once: an ended process again only after
// the channel ran anew, a fault again only after the channel left it. The first
// state seen is where the watch starts; it tells nothing by itself.
#include <QString>

#include <functional>
#include <optional>

namespace velmara {

struct ChannelEvent {
    enum class Kind { Ended, Fault };
    QString channelCode; // "001" .. "004"
    Kind kind = Kind::Ended;
    qint16 state = 0;     // the state reached: 4 trickle or 5 finished; 7 fault
    qint16 faultCode = 0; // 1..9 with Kind::Fault
    bool operator==(const ChannelEvent&) const = default;
};

class ChannelEventWatcher {
public:
    explicit ChannelEventWatcher(QString channelCode) : m_code(std::move(channelCode)) {}

    // One poll's answer: kind of answer (2 status, 11 status without values,
    // -2 none, -1 bad), state 1..7 and fault code. Returns the event to tell, if any.
    std::optional<ChannelEvent> observe(qint16 answerKind, qint16 state, qint16 faultCode);

private:
    QString m_code;
    bool m_started = false;
    qint16 m_state = 0;
    qint16 m_fault = 0;
};

// The text key of what happened: the state text of the end or of the fault.
QString eventStateKey(const ChannelEvent& event);

// The setting "Notifications": a master file without the row counts as on.
bool notificationsEnabled(const QString& settingValue);

class DesktopNotifier;

// Sends the events of all channels to the desktop, while the setting allows it.
class ChannelNotifications {
public:
    using TextLookup = std::function<QString(const QString& key)>;
    using SettingLookup = std::function<QString()>;
    ChannelNotifications(DesktopNotifier& notifier, TextLookup text, SettingLookup setting);
    // Title "velmara: Kanal n", body: what happened; faults are critical.
    void tell(const ChannelEvent& event);
    // The user switched notifications on: true the first time that no
    // notification service answers (the caller says so), false otherwise.
    bool switchedOnWithoutService();

private:
    bool m_toldNoService = false;
    DesktopNotifier& m_notifier;
    TextLookup m_text;
    SettingLookup m_setting;
};

} // namespace velmara
