#pragma once
#include <QString>
#include <QStringView>
#include <QUrl>

namespace velmara {

// Who may read the web view: the settings the user chose in its dialog.
struct WebAccess {
    bool enabled = false;
    bool network = false; // listen on every interface, not only on this computer
    quint16 port = 8480;
    QString token; // carried by every URL as ?t=...
};

// A new random access token: 32 bytes of the system's random source, URL-safe
// base64 without padding (43 characters).
QString newAccessToken();

// Whether a token given in a request is the installation's token. Takes the same
// time whatever the position of the first differing character; an empty or
// missing token never matches.
bool tokenMatches(QStringView given, QStringView expected);

// The host a link names: 127.0.0.1 on this computer only, else this computer's
// first IPv4 address in the local network (127.0.0.1 when it has none).
QString webViewHost(bool network);

// The link a viewer opens: http://HOST:PORT/?t=TOKEN.
QUrl webViewLink(const QString& host, quint16 port, const QString& token);

} // namespace velmara
