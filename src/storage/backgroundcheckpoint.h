#pragma once
// Carries a file's write-ahead log into the file on a thread of its own, over a
// connection of its own. A checkpoint waits for the disk (it syncs the log and
// the file); run by the connection that writes, it would hold that thread for
// as long. The writing connection turns its own checkpoints off meanwhile
// (PRAGMA wal_autocheckpoint = 0) and asks for one here after its writes.
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace velmara {

class BackgroundCheckpoint {
public:
    // Opens a second connection to the file (path, connect string as for
    // Database::open) on its thread; a file that cannot be opened there gets no
    // checkpoints from here (the writer's own ones do it once they resume).
    BackgroundCheckpoint(const QString& path, const QString& connect);
    // Waits for a checkpoint under way, then closes the connection.
    ~BackgroundCheckpoint();
    BackgroundCheckpoint(const BackgroundCheckpoint&) = delete;
    BackgroundCheckpoint& operator=(const BackgroundCheckpoint&) = delete;

    // One checkpoint soon; requests made while one runs make one more.
    void request();

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_due = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace velmara
