#include "storage/backgroundcheckpoint.h"

#include "storage/database.h"

namespace velmara {

BackgroundCheckpoint::BackgroundCheckpoint(const QString& path, const QString& connect) {
    m_thread = std::thread([this, path, connect] {
        // Opened on the thread: deriving the key takes a while.
        const std::unique_ptr<Database> connection = Database::open(path, connect);
        std::unique_lock lock(m_mutex);
        while (true) {
            m_wake.wait(lock, [this] { return m_due || m_stop; });
            if (m_stop)
                break;
            m_due = false;
            lock.unlock();
            if (connection)
                connection->execute(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
            lock.lock();
        }
    });
}

BackgroundCheckpoint::~BackgroundCheckpoint() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void BackgroundCheckpoint::request() {
    {
        std::lock_guard lock(m_mutex);
        m_due = true;
    }
    m_wake.notify_one();
}

} // namespace velmara
