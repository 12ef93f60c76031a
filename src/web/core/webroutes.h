#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace velmara {

// A request as the web view's server hands it over.
struct WebRequest {
    bool get = true; // the method is GET (every other method is refused)
    QString path;    // the URL's decoded path
    QString token;   // the value of the query item t, empty when absent
};

using WebHeaders = QList<QPair<QByteArray, QByteArray>>;

// What the server answers: a status, the headers, and either one of the page's
// files (a compiled-in resource) or a short text.
struct WebReply {
    int status = 200;
    WebHeaders headers;
    QString resource; // ":/web/..." when the reply is a page file
    QByteArray body;  // else the text sent
};

// The page's files by URL path. Only these paths are served: nothing in a URL is
// ever taken as a file name. The page itself ("/") needs the access token; its
// script and style carry no data and are served to anyone who asks.
WebReply routeWebRequest(const WebRequest& request, const QString& token);

// The headers of every reply: a content security policy without inline script,
// no caching, no referrer (the link carries the token), no framing, no sniffing.
WebHeaders webSecurityHeaders();

// The path of the live feed (a WebSocket; it needs the token as the page does).
inline constexpr char kWebFeedPath[] = "/feed";

} // namespace velmara
