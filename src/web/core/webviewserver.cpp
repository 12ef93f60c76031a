#include "web/core/webviewserver.h"

#include "web/core/webroutes.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QUrlQuery>
#include <QWebSocket>

#include <algorithm>

static void initWebPageResource() {
    Q_INIT_RESOURCE(webpage);
}

namespace velmara {

namespace {

bool isFeedRequest(const QHttpServerRequest& request) {
    return request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0;
}

QString tokenOf(const QUrl& url) {
    return QUrlQuery(url).queryItemValue(QStringLiteral("t"), QUrl::FullyDecoded);
}

} // namespace

WebViewServer::WebViewServer(QObject* parent) : QAbstractHttpServer(parent) {
    initWebPageResource();
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this,
            &WebViewServer::acceptViewers);
}

WebViewServer::~WebViewServer() = default;

bool WebViewServer::start(const WebAccess& access) {
    m_access = access;
    const QHostAddress where = access.network ? QHostAddress::Any : QHostAddress::LocalHost;
    m_port = listen(where, access.port);
    return m_port != 0;
}

bool WebViewServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    // The feed: the server hands the socket on to the WebSocket handshake when
    // this answers true without writing; a refused one ends in missingHandler
    // with 403, before the handshake and before a single byte of data.
    if (isFeedRequest(request))
        return request.url().path() == QLatin1String(kWebFeedPath) &&
               tokenMatches(tokenOf(request.url()), m_access.token) && viewerCount() < kMaxViewers;
    WebRequest asked;
    asked.get = request.method() == QHttpServerRequest::Method::Get;
    asked.path = request.url().path();
    asked.token = tokenOf(request.url());
    const WebReply reply = routeWebRequest(asked, m_access.token);
    QByteArray body = reply.body;
    if (!reply.resource.isEmpty()) {
        QFile file(reply.resource);
        if (file.open(QIODevice::ReadOnly))
            body = file.readAll();
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(QHttpServerResponder::StatusCode(reply.status));
    for (const auto& [name, value] : reply.headers)
        responder.writeHeader(name, value);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeBody(body);
    return true;
}

void WebViewServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    makeResponder(request, socket)
        .write(isFeedRequest(request) ? QHttpServerResponder::StatusCode::Forbidden
                                      : QHttpServerResponder::StatusCode::NotFound);
}

void WebViewServer::acceptViewers() {
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> viewer = nextPendingWebSocketConnection();
        const QUrl url = viewer->requestUrl();
        // Checked again here, before a single byte of data is sent.
        if (url.path() != QLatin1String(kWebFeedPath) ||
            !tokenMatches(tokenOf(url), m_access.token) || viewerCount() >= kMaxViewers) {
            viewer->close(QWebSocketProtocol::CloseCodePolicyViolated);
            viewer.release()->deleteLater();
            continue;
        }
        viewer->setMaxAllowedIncomingFrameSize(1024);
        viewer->setMaxAllowedIncomingMessageSize(1024);
        QWebSocket* raw = viewer.get();
        connect(raw, &QWebSocket::disconnected, this, [this, raw] { dropViewer(raw); });
        qint64 allowance = 0;
        if (m_state)
            for (const QByteArray& message : m_state())
                allowance += raw->sendTextMessage(QString::fromUtf8(message));
        m_viewers.push_back({std::move(viewer), allowance});
    }
}

void WebViewServer::broadcast(const QByteArray& message) {
    const QString text = QString::fromUtf8(message);
    std::vector<QWebSocket*> slow;
    for (const Viewer& viewer : m_viewers) {
        if (viewer.socket->bytesToWrite() > kMaxQueuedBytes + viewer.allowance)
            slow.push_back(viewer.socket.get());
        else
            viewer.socket->sendTextMessage(text);
    }
    for (QWebSocket* viewer : slow) {
        viewer->abort();
        dropViewer(viewer);
    }
}

void WebViewServer::dropViewer(QWebSocket* viewer) {
    const auto it = std::find_if(m_viewers.begin(), m_viewers.end(),
                                 [viewer](const Viewer& v) { return v.socket.get() == viewer; });
    if (it == m_viewers.end())
        return;
    it->socket.release()->deleteLater();
    m_viewers.erase(it);
}

} // namespace velmara
