#pragma once
#include "web/core/webaccess.h"

#include <QAbstractHttpServer>
#include <QByteArrayList>

#include <functional>
#include <memory>
#include <vector>

class QWebSocket;

namespace velmara {

// The web view's server: the page's files over HTTP and the live feed over a
// WebSocket, read-only. It listens on this computer only unless the user opened
// it to the network; every viewer needs the installation's token. Nothing a
// viewer sends is read: the feed only ever flows from here to the page.
class WebViewServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    // What a viewer sees first when it connects: the messages that bring a new
    // page up to date (every channel, every curve so far).
    using CurrentState = std::function<QByteArrayList()>;

    explicit WebViewServer(QObject* parent = nullptr);
    ~WebViewServer() override;

    // Listens as the access says; false when the port cannot be opened (taken,
    // or below 1024).
    bool start(const WebAccess& access);
    quint16 port() const { return m_port; }
    void setCurrentState(CurrentState state) { m_state = std::move(state); }

    // Sends one message to every viewer. A viewer that has not taken what it was
    // sent before (more than kMaxQueuedBytes still waiting, beyond the current
    // state it was sent on arrival, which may be larger for a long curve) is
    // dropped instead of being waited for: it reconnects and starts anew.
    void broadcast(const QByteArray& message);
    int viewerCount() const { return int(m_viewers.size()); }

    static constexpr int kMaxViewers = 32;
    static constexpr qint64 kMaxQueuedBytes = 1 << 20;

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    void acceptViewers();
    void dropViewer(QWebSocket* viewer);

    WebAccess m_access;
    quint16 m_port = 0;
    CurrentState m_state;
    struct Viewer {
        std::unique_ptr<QWebSocket> socket;
        qint64 allowance = 0; // the bytes of the state it was sent on arrival
    };
    std::vector<Viewer> m_viewers;
};

} // namespace velmara
