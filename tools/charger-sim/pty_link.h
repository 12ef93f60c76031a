// The simulator's end of the serial line: a pseudo-terminal whose slave device is
// reachable under a symlink.
#pragma once

#include <string>
#include <termios.h>

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
    // Readable when a program opens or closes the terminal; -1 when the system
    // cannot tell. Call clientsChanged() then.
    int clientWatchFd() const { return watch_; }
    // Takes note of the programs that opened or closed the terminal. When the last
    // one has gone (closed it, or died without putting it back), the line is made
    // ready for the next one as open() made it: its line settings, no exclusive
    // use, no answer left unread. True when that happened.
    bool clientsChanged();
    const std::string& slaveName() const { return slaveName_; }
    const std::string& error() const { return error_; }

private:
    int master_ = -1;
    void restoreLine();

    int slave_ = -1; // held open so the line does not hang up when the program closes it
    int watch_ = -1;
    int clients_ = 0;
    termios line_{};
    std::string slaveName_;
    std::string linkPath_;
    std::string error_;
};

} // namespace sim
