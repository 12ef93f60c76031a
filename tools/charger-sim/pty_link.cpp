#include "pty_link.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

// 9600 baud, 7 data bits, even parity, 1 stop bit, raw.
void setLine(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        return;
    }
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | CSTOPB | PARODD);
    t.c_cflag |= CS7 | PARENB | CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(fd, TCSANOW, &t);
}

} // namespace

PtyLink::~PtyLink() {
    close();
}

bool PtyLink::open(const std::string& linkPath) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error_ = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        close();
        return false;
    }
    char name[PATH_MAX];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error_ = std::string("ptsname: ") + std::strerror(errno);
        close();
        return false;
    }
    slaveName_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        error_ = "cannot open " + slaveName_ + ": " + std::strerror(errno);
        close();
        return false;
    }
    setLine(master_);
    setLine(slave_);
    tcgetattr(slave_, &line_);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    // Programs come and go on the line: a killed one leaves the terminal as it
    // had set it (exclusive use, echo, line editing), which the next one would get.
    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ >= 0 && inotify_add_watch(watch_, name, IN_OPEN | IN_CLOSE) < 0) {
        ::close(watch_);
        watch_ = -1;
    }

    struct stat st {};
    if (lstat(linkPath.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error_ = linkPath + " exists and is not a symbolic link";
            close();
            return false;
        }
        unlink(linkPath.c_str()); // a link left behind by an earlier run
    }
    if (symlink(name, linkPath.c_str()) != 0) {
        error_ = "cannot create " + linkPath + ": " + std::strerror(errno);
        close();
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

bool PtyLink::clientsChanged() {
    bool lastGone = false;
    alignas(inotify_event) char buffer[4096];
    ssize_t n;
    while ((n = read(watch_, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(p);
            if (event->mask & IN_OPEN) {
                ++clients_;
            } else if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE | IN_Q_OVERFLOW)) {
                clients_ = event->mask & IN_Q_OVERFLOW ? 0 : clients_ - 1;
                if (clients_ <= 0) {
                    clients_ = 0;
                    lastGone = true;
                }
            }
            p += sizeof(inotify_event) + event->len;
        }
    }
    if (lastGone) {
        restoreLine();
    }
    return lastGone;
}

void PtyLink::restoreLine() {
    ioctl(slave_, TIOCNXCL);
    tcsetattr(slave_, TCSANOW, &line_);
    tcflush(slave_, TCIFLUSH);
}

void PtyLink::close() {
    if (!linkPath_.empty()) {
        char target[PATH_MAX];
        ssize_t n = readlink(linkPath_.c_str(), target, sizeof target - 1);
        if (n >= 0 && std::string(target, static_cast<size_t>(n)) == slaveName_) {
            unlink(linkPath_.c_str());
        }
        linkPath_.clear();
    }
    if (watch_ >= 0) {
        ::close(watch_);
        watch_ = -1;
    }
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

} // namespace sim
