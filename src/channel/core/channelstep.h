#pragma once
// One step of a channel that talks to the charger holds the channels' turn.
#include "channel/core/channelcontroller.h"
#include "link/turnqueue.h"

#include <memory>

namespace velmara {

// The end of one step of the channel (a tick, the start, a recording start):
// tells that the channel changed once no step of it runs any more, and gives
// the turn on to the next channel, also when this controller has gone while
// the step waited for an answer.
class ChannelController::Step {
public:
    Step(ChannelController& owner, std::shared_ptr<TurnQueue> turn, std::shared_ptr<bool> alive,
         bool granted)
        : m_owner(&owner), m_turn(std::move(turn)), m_alive(std::move(alive)), m_granted(granted) {}
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;
    ~Step() {
        if (*m_alive && --m_owner->m_stepsActive == 0)
            Q_EMIT m_owner->changed();
        if (m_granted)
            m_turn->release();
    }
    bool runs() const { return *m_alive && m_granted; }

private:
    ChannelController* m_owner; // used only while alive
    std::shared_ptr<TurnQueue> m_turn;
    std::shared_ptr<bool> m_alive;
    bool m_granted;
};

} // namespace velmara
