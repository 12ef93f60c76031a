#pragma once
// Turns, one at a time, for coroutines: whoever holds the turn runs; the others
// wait in the order they asked and are resumed one after the other. Used for the
// line (one request on it at a time) and for a channel (one tick or program step
// at a time). Single-threaded: everything runs on the user-interface thread.
#include <coroutine>
#include <deque>

namespace velmara {

class TurnQueue {
public:
    TurnQueue() = default;
    TurnQueue(const TurnQueue&) = delete;
    TurnQueue& operator=(const TurnQueue&) = delete;
    // Whoever still waits is resumed without the turn.
    ~TurnQueue() { cancelAll(); }

    // co_await acquire(): true once the turn is the caller's; false when the
    // wait was cancelled (the owner went away or gave up everything waiting).
    class Awaiter {
    public:
        explicit Awaiter(TurnQueue& q) : m_queue(q) {}
        bool await_ready() {
            if (m_queue.m_held || !m_queue.m_waiting.empty())
                return false;
            m_queue.m_held = true;
            m_granted = true;
            return true;
        }
        void await_suspend(std::coroutine_handle<> h) {
            m_handle = h;
            m_queue.m_waiting.push_back(this);
        }
        bool await_resume() const { return m_granted; }

    private:
        friend class TurnQueue;
        TurnQueue& m_queue;
        std::coroutine_handle<> m_handle;
        bool m_granted = false;
    };

    Awaiter acquire() { return Awaiter(*this); }

    // Hands the turn to the next in line (resumed at once) or frees it.
    void release() {
        if (m_waiting.empty()) {
            m_held = false;
            return;
        }
        Awaiter* next = m_waiting.front();
        m_waiting.pop_front();
        next->m_granted = true; // the turn stays held: it passes on
        next->m_handle.resume();
    }

    // Resumes everyone who waits, without the turn, in the order they asked.
    void cancelAll() {
        while (!m_waiting.empty()) {
            Awaiter* next = m_waiting.front();
            m_waiting.pop_front();
            next->m_granted = false;
            next->m_handle.resume();
        }
    }

    bool held() const { return m_held; }
    int waiting() const { return int(m_waiting.size()); }

private:
    bool m_held = false;
    std::deque<Awaiter*> m_waiting;
};

} // namespace velmara
