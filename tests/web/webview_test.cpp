#include "web/core/webroutes.h"
#include "web/core/webviewserver.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>
#include <gtest/gtest.h>

namespace velmara {
namespace {

const QString kToken = QStringLiteral("Zq3-secret_token");

// Nothing in a URL names a file; the page and its feed need the token, a wrong
// one gives no data; only GET is answered.
TEST(WebRoutes, ServesOnlyItsOwnFilesAndThePageOnlyWithTheToken) {
    struct Row {
        bool get;
        const char* path;
        const char* token;
        int status;
        const char* resource;
    } rows[] = {
        {true, "/", "Zq3-secret_token", 200, ":/web/index.html"},
        {true, "/", "Zq3-secret_tokeN", 403, ""},
        {true, "/", "Zq3-secret_toke", 403, ""},
        {true, "/", "", 403, ""},
        {false, "/", "Zq3-secret_token", 405, ""},
        {true, "/app.js", "", 200, ":/web/app.js"},
        {true, "/../velmara.mdb", "Zq3-secret_token", 404, ""},
        {true, "/index.html", "Zq3-secret_token", 404, ""},
    };
    for (const Row& row : rows) {
        const WebReply reply = routeWebRequest(
            {row.get, QString::fromLatin1(row.path), QString::fromLatin1(row.token)}, kToken);
        SCOPED_TRACE(std::string(row.path) + " " + row.token);
        EXPECT_EQ(reply.status, row.status);
        EXPECT_EQ(reply.resource, QLatin1String(row.resource));
        EXPECT_TRUE(
            reply.headers.contains(QPair<QByteArray, QByteArray>("Cache-Control", "no-store")));
    }
    EXPECT_FALSE(tokenMatches(u"", u""));
    EXPECT_EQ(newAccessToken().size(), 43);
    EXPECT_NE(newAccessToken(), newAccessToken());
}

bool waitFor(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 5000);
}

TEST(WebViewServer, AnswersThePageAndFeedsOnlyViewersWithTheToken) {
    WebViewServer server;
    server.setCurrentState([] { return QByteArrayList{R"({"type":"hello"})"}; });
    ASSERT_TRUE(server.start({true, false, 0, kToken}));
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.port());

    QNetworkAccessManager http;
    for (const auto& [query, status] :
         {std::pair{"?t=wrong", 403}, std::pair{"?t=Zq3-secret_token", 200}}) {
        std::unique_ptr<QNetworkReply> reply(http.get(QNetworkRequest(QUrl(base + "/" + query))));
        ASSERT_TRUE(waitFor([&] { return reply->isFinished(); }));
        EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), status);
        EXPECT_EQ(reply->readAll().contains("app.js"), status == 200);
    }

    QWebSocket stranger, viewer;
    QStringList strangerGot, viewerGot;
    QObject::connect(&stranger, &QWebSocket::textMessageReceived,
                     [&](const QString& m) { strangerGot << m; });
    QObject::connect(&viewer, &QWebSocket::textMessageReceived,
                     [&](const QString& m) { viewerGot << m; });
    stranger.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/feed?t=wrong").arg(server.port())));
    viewer.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/feed?t=%2").arg(server.port()).arg(kToken)));
    ASSERT_TRUE(waitFor([&] { return server.viewerCount() == 1 && !viewerGot.isEmpty(); }));
    server.broadcast(R"({"type":"channel","channel":"2"})");
    ASSERT_TRUE(waitFor([&] { return viewerGot.size() == 2; }));
    EXPECT_EQ(viewerGot,
              (QStringList{R"({"type":"hello"})", R"({"type":"channel","channel":"2"})"}));
    EXPECT_TRUE(waitFor([&] { return stranger.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(strangerGot.isEmpty());
}

// A viewer that stops reading is dropped, not waited for, and costs no more
// memory than its limit; one that was sent a long curve on arrival is not.
TEST(WebViewServer, DropsAViewerThatStopsReadingButNotOneWithALongStart) {
    WebViewServer server;
    const QByteArray longCurve(3 << 20, 'x'); // three times the limit, on arrival
    server.setCurrentState([&] { return QByteArrayList{longCurve}; });
    ASSERT_TRUE(server.start({true, false, 0, kToken}));
    QWebSocket reader;
    qint64 got = 0;
    QObject::connect(&reader, &QWebSocket::textMessageReceived,
                     [&](const QString& m) { got += m.size(); });
    reader.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/feed?t=%2").arg(server.port()).arg(kToken)));
    // The stalled one asks for the feed and then reads nothing.
    QTcpSocket stalled;
    stalled.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(stalled.waitForConnected(5000));
    stalled.write(
        "GET /feed?t=" + kToken.toLatin1() +
        " HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
        "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
    ASSERT_TRUE(waitFor([&] { return server.viewerCount() == 2; }));
    stalled.setReadBufferSize(1); // from here on it takes nothing more
    const QByteArray message(256 << 10, 'y');
    for (int i = 0; i < 400 && server.viewerCount() == 2; ++i) {
        server.broadcast(message);
        QTest::qWait(5);
    }
    EXPECT_EQ(server.viewerCount(), 1) << "the stalled viewer is dropped";
    EXPECT_TRUE(waitFor([&] { return got >= longCurve.size() + message.size(); }))
        << "the reading viewer keeps its feed";
}

} // namespace
} // namespace velmara
