#pragma once
// The main window's side of the user data on a server: the status bar's mark
// of values waiting for the server (with why, as a tooltip), and the
// batteries this station records held for it on the server while its
// channels record them, checked now and then and taken again after a lost
// connection.
#include <QObject>
#include <QSet>
#include <QTimer>

class QLabel;
class QStatusBar;

namespace velmara {

class ChannelBoard;
class Session;

class ServerWatch : public QObject {
    Q_OBJECT
public:
    // isUsed: whether a channel of this station still records the battery.
    ServerWatch(Session& session, ChannelBoard& board, QStatusBar* bar,
                std::function<bool(qint32 batteryId)> isUsed);

private:
    void showWaiting();
    void checkLeases();
    void takeLease(qint32 battery);

    Session& m_session;
    QLabel* m_mark = nullptr;
    QTimer m_check;
    std::function<bool(qint32)> m_isUsed;
    QSet<qint32> m_recording; // the batteries this station's channels record
};

} // namespace velmara
