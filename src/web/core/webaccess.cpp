#include "web/core/webaccess.h"

#include <QByteArray>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QUrlQuery>

#include <array>

namespace velmara {

QString newAccessToken() {
    std::array<quint32, 8> words;
    QRandomGenerator::system()->generate(words.begin(), words.end());
    const QByteArray bytes(reinterpret_cast<const char*>(words.data()), int(sizeof words));
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

bool tokenMatches(QStringView given, QStringView expected) {
    if (expected.isEmpty() || given.size() != expected.size())
        return false;
    char16_t difference = 0;
    for (qsizetype i = 0; i < given.size(); ++i)
        difference |= given[i].unicode() ^ expected[i].unicode();
    return difference == 0;
}

QString webViewHost(bool network) {
    if (network)
        for (const QHostAddress& address : QNetworkInterface::allAddresses())
            if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
                return address.toString();
    return QStringLiteral("127.0.0.1");
}

QUrl webViewLink(const QString& host, quint16 port, const QString& token) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPort(port);
    url.setPath(QStringLiteral("/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("t"), token);
    url.setQuery(query);
    return url;
}

} // namespace velmara
