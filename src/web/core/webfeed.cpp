#include "web/core/webfeed.h"

#include "web/core/webviewserver.h"

namespace velmara {

WebFeed::WebFeed(QObject* parent) : QObject(parent) {}

WebFeed::~WebFeed() = default;

bool WebFeed::apply(const WebAccess& access) {
    const bool same = m_server && access.network == m_access.network &&
                      access.port == m_access.port && access.token == m_access.token;
    m_access = access;
    if (same && access.enabled)
        return true;
    // A new token or place closes every viewer: an old link stops working at once.
    m_server.reset();
    if (!access.enabled)
        return true;
    auto server = std::make_unique<WebViewServer>();
    server->setCurrentState([this] { return currentState(); });
    if (!server->start(access))
        return false;
    m_server = std::move(server);
    return true;
}

void WebFeed::setTexts(const QString& language, const QMap<QString, QString>& texts) {
    m_hello = webHelloMessage(language, texts);
    push(m_hello);
}

void WebFeed::showChannel(const WebChannelView& view) {
    auto it = m_channels.find(view.code);
    if (it != m_channels.end() && *it == view)
        return;
    m_channels.insert(view.code, view);
    push(webChannelMessage(view));
}

void WebFeed::addCurve(const QString& code, const QList<WebCurvePoint>& points, bool reset) {
    QList<WebCurvePoint>& curve = m_curves[code];
    if (reset)
        curve.clear();
    curve += points;
    push(webCurveMessage(code, points, reset));
}

QByteArrayList WebFeed::currentState() const {
    QByteArrayList messages;
    if (!m_hello.isEmpty())
        messages << m_hello;
    for (const WebChannelView& view : m_channels)
        messages << webChannelMessage(view);
    for (auto it = m_curves.begin(); it != m_curves.end(); ++it)
        messages << webCurveMessage(it.key(), it.value(), true);
    return messages;
}

void WebFeed::push(const QByteArray& message) {
    if (m_server)
        m_server->broadcast(message);
}

} // namespace velmara
