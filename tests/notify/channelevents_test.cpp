// Channel events told once each, through a fake desktop notifier.
#include "notify/channelevents.h"
#include "support/fake_notifier.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

namespace velmara::test {
namespace {

QString texts(const QString& key) {
    if (key == "2200")
        return "velmara: Kanal %1";
    if (key == "2202")
        return "Beendet: %1";
    if (key == "2204")
        return "Fehler: %1";
    if (key == "4216")
        return "Fault:";
    if (key == "0874")
        return "Fault: voltage too high";
    return "<" + key + ">";
}

struct Poll {
    qint16 kind, state, fault;
};
constexpr qint16 S = 2, W = 11, None = -2, Bad = -1;

// Runs the polls through a watcher and the notifications; what was sent.
QStringList sentFor(const std::vector<Poll>& polls) {
    QStringList sent;
    FakeNotifier notifier(&sent);
    ChannelNotifications notifications(notifier, texts, [] { return QString("YES"); });
    ChannelEventWatcher watcher("003");
    for (const Poll& p : polls)
        if (const auto event = watcher.observe(p.kind, p.state, p.fault))
            notifications.tell(*event);
    return sent;
}

TEST(ChannelEvents, EachEndAndFaultIsToldOnce) {
    const QString ended = "velmara: Kanal 3 | Beendet: <6018>";
    const QString trickle = "velmara: Kanal 3 | Beendet: <6016>";
    // Faults are critical (" !"); the word "Fault:" of a fault text is not said twice.
    const QString noBattery = "velmara: Kanal 3 | Fehler: <0878> !";
    const QString overheated = "velmara: Kanal 3 | Fehler: <0880> !";
    const QString tooHigh = "velmara: Kanal 3 | Fehler: voltage too high !";
    const struct {
        const char* what;
        std::vector<Poll> polls;
        QStringList expected;
    } cases[] = {
        {"charge to finished, finished kept, a second run",
         {{S, 2, 0}, {S, 5, 0}, {W, 5, 0}, {S, 5, 0}, {S, 1, 0}, {S, 2, 0}, {S, 5, 0}},
         {ended, ended}},
        {"finished at the start of the watch is no event", {{S, 5, 0}, {S, 5, 0}}, {}},
        {"charge goes over to trickle, then finished",
         {{S, 2, 0}, {S, 4, 0}, {S, 4, 0}, {S, 5, 0}},
         {trickle}},
        {"silent polls neither repeat nor lose the end",
         {{S, 2, 0}, {None, 0, 0}, {S, 5, 0}, {Bad, 0, 0}, {S, 5, 0}},
         {ended}},
        {"fault kept over many polls, then another fault",
         {{S, 2, 0}, {S, 7, 3}, {S, 7, 3}, {None, 0, 0}, {S, 7, 3}, {S, 7, 2}},
         {overheated, noBattery}},
        {"a fault text that says fault", {{S, 2, 0}, {S, 7, 5}}, {tooHigh}},
        {"idle after charging (stopped at the charger) is no end", {{S, 2, 0}, {S, 1, 0}}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sentFor(c.polls), c.expected) << c.what;
}

} // namespace
} // namespace velmara::test
