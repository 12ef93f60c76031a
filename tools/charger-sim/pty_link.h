// The simulator's end of the serial line: a pseudo-terminal whose slave device is
// reachable under a symlink.
#pragma once

#include <string>

namespace sim {

class PtyLink {
public:
    PtyLink() = default;
    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;
    ~PtyLink();

    // Opens the pty and points `linkPath` at its slave. On failure returns false and
    // leaves the reason in error().
    bool open(const std::string& linkPath);
    // Removes the symlink (only if it still points at our slave) and closes the pty.
    void close();

    int masterFd() const { return master_; }
    const std::string& slaveName() const { return slaveName_; }
    const std::string& error() const { return error_; }

private:
    int master_ = -1;
    int slave_ = -1; // held open so the line does not hang up when the program closes it
    std::string slaveName_;
    std::string linkPath_;
    std::string error_;
};

} // namespace sim
