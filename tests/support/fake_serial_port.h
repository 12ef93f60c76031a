#pragma once
// An in-memory serial port on a fake clock. Answers are queued per
// request: each write takes the next queued answer and schedules its pieces on
// the fake clock; a wait moves the clock forward instead of sleeping, so every
// request completes without suspending.
#include "link/serialport.h"

#include <QList>

#include <coroutine>
#include <deque>
#include <memory>

namespace velmara {

class FakeLinkClock : public LinkClock {
public:
    explicit FakeLinkClock(qint64 startMs = 1'700'000'000'000) : m_now(startMs) {}
    qint64 nowMs() const override { return m_now; }
    void setNow(qint64 ms) { m_now = ms; }
    void advance(qint64 ms) { m_now += ms; }

private:
    qint64 m_now;
};

class FakeSerialPort : public SerialPort {
public:
    // A piece of an answer, arriving delayMs after the previous piece (the first
    // one: after the request was written).
    struct Piece {
        QByteArray bytes;
        qint64 delayMs = 0;
    };

    explicit FakeSerialPort(std::shared_ptr<FakeLinkClock> clock,
                            QString devicePath = "/dev/fake0");

    // The answer to the next request that has none yet.
    void queueAnswer(const QList<Piece>& pieces) { m_answers.push_back(pieces); }
    void queueAnswer(const QByteArray& bytes, qint64 delayMs = 0) {
        queueAnswer({{bytes, delayMs}});
    }
    void queueSilence() { queueAnswer(QList<Piece>{}); }

    // The device goes away (reads and writes fail with a resource error, the path
    // is gone) or comes back (the path exists again; the port stays closed).
    void unplug() { m_unplugged = true, m_present = false; }
    void plugIn() { m_present = true; }
    // With waits held, an awaited wait suspends until releaseWait() (or close())
    // and then goes on as it would have at once: requests really wait, in order.
    void holdWaits(bool on) { m_holdWaits = on; }
    void releaseWait();
    bool waitHeld() const { return bool(m_heldWait); }

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& data) override;
    QByteArray readAll() override;
    // Answers at once: the fake clock moves on to the next arrival or by msecs.
    QCoro::Task<bool> waitForReadyReadAsync(int msecs) override;
    bool waitForReadyRead(int msecs);
    void discardInput() override;
    QString devicePath() const override { return m_path; }
    bool deviceExists() const override { return m_present; }
    SerialError error() const override { return m_error; }
    QString errorString() const override { return m_errorText; }
    void clearError() override { setError(SerialError::NoError, {}); }

    // What happened, for the test to check.
    QList<QByteArray> writes;
    QList<int> waits; // msecs of every waitForReadyRead
    int readCalls = 0;
    int openCalls = 0;

private:
    struct Arrival {
        qint64 atMs;
        QByteArray bytes;
    };
    void setError(SerialError e, const QString& text) { m_error = e, m_errorText = text; }
    bool checkIo(); // false (error set) when the port cannot be used

    std::shared_ptr<FakeLinkClock> m_clock;
    QString m_path;
    std::deque<QList<Piece>> m_answers;
    std::deque<Arrival> m_incoming; // ordered by time
    bool m_open = false;
    bool m_present = true;
    bool m_unplugged = false;
    SerialError m_error = SerialError::NoError;
    QString m_errorText;
    bool m_holdWaits = false;
    std::coroutine_handle<> m_heldWait;
};

} // namespace velmara
