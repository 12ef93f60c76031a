#include "web/core/webaccessstore.h"

#include "data/settingsstore.h"

namespace velmara {

namespace {
const QString kEnabled = QStringLiteral("WebView");
const QString kNetwork = QStringLiteral("WebViewNetwork");
const QString kPort = QStringLiteral("WebViewPort");
const QString kToken = QStringLiteral("WebViewToken");

QString yesNo(bool on) {
    return on ? QStringLiteral("YES") : QStringLiteral("NO");
}
} // namespace

WebAccess loadWebAccess(SettingsStore& settings) {
    WebAccess access;
    access.enabled = settings.isYes(kEnabled);
    access.network = settings.isYes(kNetwork);
    bool ok = false;
    const uint port = settings.getSetting(kPort).toUInt(&ok);
    if (ok && port >= 1024 && port <= 65535)
        access.port = quint16(port);
    access.token = settings.getSetting(kToken);
    if (access.token.size() < 32) {
        access.token = newAccessToken();
        settings.setOrAddSetting(kToken, access.token);
    }
    return access;
}

void storeWebAccess(SettingsStore& settings, const WebAccess& access) {
    settings.setOrAddSetting(kEnabled, yesNo(access.enabled));
    settings.setOrAddSetting(kNetwork, yesNo(access.network));
    settings.setOrAddSetting(kPort, QString::number(access.port));
    settings.setOrAddSetting(kToken, access.token);
}

} // namespace velmara
