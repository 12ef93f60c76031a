#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a Qt signal on the event loop, so that
// the program can end the orderly way (port closed, files closed, temporary
// values cleared) when the session ends or someone stops it.
#include <QObject>

class QSocketNotifier;

namespace velmara {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; only one object may exist at a time (the handlers
    // reach it through the one pipe of the process). isActive() is false when
    // the pipe could not be made; the default handling then stays.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override; // restores the previous handlers

    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    // Delivered on the event loop, once for each signal that arrived.
    void requested(int signalNumber);

private:
    void drain();
    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace velmara
