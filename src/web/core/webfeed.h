#pragma once
#include "web/core/webaccess.h"
#include "web/core/webmessages.h"

#include <QMap>
#include <QObject>

#include <memory>

namespace velmara {

class WebViewServer;

// What the web view's viewers see, kept up to date by whoever watches the
// channels: each channel's texts and its running curve, and the server that
// pushes every change to the viewers. Costs nothing while the web view is off.
class WebFeed : public QObject {
public:
    explicit WebFeed(QObject* parent = nullptr);
    ~WebFeed() override;

    // Starts, moves or stops the server as the access says; false when it is on
    // but its port cannot be opened (the server is off then).
    bool apply(const WebAccess& access);
    bool running() const { return m_server != nullptr; }
    WebViewServer* server() const { return m_server.get(); }

    void setTexts(const QString& language, const QMap<QString, QString>& texts);
    // A channel as it shows now; pushed only when something changed.
    void showChannel(const WebChannelView& view);
    // New values of a channel's curve; reset: they start a new curve.
    void addCurve(const QString& code, const QList<WebCurvePoint>& points, bool reset);

    // The messages that bring a new viewer up to date.
    QByteArrayList currentState() const;

private:
    void push(const QByteArray& message);

    std::unique_ptr<WebViewServer> m_server;
    WebAccess m_access;
    QByteArray m_hello;
    QMap<QString, WebChannelView> m_channels;
    QMap<QString, QList<WebCurvePoint>> m_curves;
};

} // namespace velmara
