#include "base/core/terminationsignals.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace velmara {

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but process-wide state: the write end of
// the pipe lives here while a TerminationSignals object exists.
volatile std::sig_atomic_t g_writeFd = -1;
struct sigaction g_previous[kSignals.size()];

void onSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    if (g_writeFd >= 0)
        (void)::write(g_writeFd, &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (g_writeFd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds) != 0)
        return;
    for (int fd : m_fds)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    g_writeFd = m_fds[0];
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigset_t set;
    sigemptyset(&set);
    for (size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &sa, &g_previous[i]);
        sigaddset(&set, kSignals[i]);
    }
    // Started with them blocked (as some launchers do), the program still ends
    // on them; one that arrived before is delivered now.
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (!m_notifier) {
        for (int fd : m_fds)
            if (fd >= 0)
                ::close(fd);
        return;
    }
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    g_writeFd = -1;
    delete m_notifier;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void TerminationSignals::drain() {
    unsigned char bytes[16];
    ssize_t n;
    while ((n = ::read(m_fds[1], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; i < n; ++i)
            Q_EMIT requested(bytes[i]);
}

} // namespace velmara
