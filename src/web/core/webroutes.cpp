#include "web/core/webroutes.h"

#include "web/core/webaccess.h"

namespace velmara {

namespace {

struct PageFile {
    const char* path;
    const char* resource;
    const char* type;
    bool needsToken;
};

constexpr PageFile kPageFiles[] = {
    {"/", ":/web/index.html", "text/html; charset=utf-8", true},
    {"/app.js", ":/web/app.js", "text/javascript; charset=utf-8", false},
    {"/app.css", ":/web/app.css", "text/css; charset=utf-8", false},
};

WebReply textReply(int status, const char* text) {
    WebReply reply;
    reply.status = status;
    reply.headers = webSecurityHeaders();
    reply.headers.append(
        QPair<QByteArray, QByteArray>("Content-Type", "text/plain; charset=utf-8"));
    reply.body = text;
    return reply;
}

} // namespace

WebHeaders webSecurityHeaders() {
    return {{"Content-Security-Policy",
             "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
             "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
            {"X-Content-Type-Options", "nosniff"},
            {"X-Frame-Options", "DENY"},
            {"Referrer-Policy", "no-referrer"},
            {"Cache-Control", "no-store"}};
}

WebReply routeWebRequest(const WebRequest& request, const QString& token) {
    if (!request.get) {
        WebReply reply = textReply(405, "method not allowed\n");
        reply.headers.append(QPair<QByteArray, QByteArray>("Allow", "GET"));
        return reply;
    }
    for (const PageFile& file : kPageFiles) {
        if (request.path != QLatin1String(file.path))
            continue;
        if (file.needsToken && !tokenMatches(request.token, token))
            return textReply(403, "forbidden\n");
        WebReply reply;
        reply.headers = webSecurityHeaders();
        reply.headers.append(QPair<QByteArray, QByteArray>("Content-Type", file.type));
        reply.resource = QString::fromLatin1(file.resource);
        return reply;
    }
    return textReply(404, "not found\n");
}

} // namespace velmara
