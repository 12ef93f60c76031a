#include "support/fake_serial_port.h"

#include "link/resumelater.h"

#include <algorithm>
#include <utility>

namespace velmara {

FakeSerialPort::FakeSerialPort(std::shared_ptr<FakeLinkClock> clock, QString devicePath)
    : m_clock(std::move(clock)), m_path(std::move(devicePath)) {}

bool FakeSerialPort::open() {
    ++openCalls;
    clearError();
    if (!m_present) {
        setError(SerialError::DeviceNotFound, "No such file or directory");
        return false;
    }
    m_open = true;
    m_unplugged = false;
    return true;
}

void FakeSerialPort::close() {
    m_open = false;
    m_incoming.clear();
    releaseWait();
}

bool FakeSerialPort::checkIo() {
    if (!m_open) {
        setError(SerialError::NotOpen, "Device not open");
        return false;
    }
    if (m_unplugged) {
        setError(SerialError::Resource, "Input/output error");
        return false;
    }
    return true;
}

bool FakeSerialPort::write(const QByteArray& data) {
    if (!checkIo())
        return false;
    writes.append(data);
    if (m_answers.empty())
        return true;
    qint64 at = m_clock->nowMs();
    for (const Piece& p : m_answers.front()) {
        at += p.delayMs;
        m_incoming.push_back({at, p.bytes});
    }
    m_answers.pop_front();
    std::stable_sort(m_incoming.begin(), m_incoming.end(),
                     [](const Arrival& a, const Arrival& b) { return a.atMs < b.atMs; });
    return true;
}

QByteArray FakeSerialPort::readAll() {
    ++readCalls;
    if (!checkIo())
        return {};
    QByteArray out;
    while (!m_incoming.empty() && m_incoming.front().atMs <= m_clock->nowMs()) {
        out += m_incoming.front().bytes;
        m_incoming.pop_front();
    }
    return out;
}

bool FakeSerialPort::waitForReadyRead(int msecs) {
    waits.append(msecs);
    if (!checkIo())
        return false;
    const qint64 now = m_clock->nowMs();
    if (!m_incoming.empty() && m_incoming.front().atMs <= now + std::max(msecs, 0)) {
        m_clock->setNow(std::max(now, m_incoming.front().atMs));
        return true;
    }
    m_clock->advance(std::max(msecs, 0));
    return false;
}

QCoro::Task<bool> FakeSerialPort::waitForReadyReadAsync(int msecs) {
    if (m_holdWaits && m_open && !m_heldWait) {
        co_await ResumeLater{m_heldWait};
        if (!m_open)
            co_return false; // closed meanwhile
    }
    co_return waitForReadyRead(msecs);
}

void FakeSerialPort::releaseWait() {
    if (std::coroutine_handle<> h = std::exchange(m_heldWait, {}))
        h.resume();
}

void FakeSerialPort::discardInput() {
    const qint64 now = m_clock->nowMs();
    while (!m_incoming.empty() && m_incoming.front().atMs <= now) {
        m_incoming.pop_front();
    }
}

} // namespace velmara
