#pragma once
#include "web/core/webaccess.h"

namespace velmara {

class SettingsStore;

// The web view's settings rows: WebView and WebViewNetwork (YES/NO), WebViewPort
// and WebViewToken. A missing or damaged row reads as the default (off, this
// computer only, port 8480); a missing token is made and stored at once, so the
// installation keeps one token until the user renews it.
WebAccess loadWebAccess(SettingsStore& settings);
void storeWebAccess(SettingsStore& settings, const WebAccess& access);

} // namespace velmara
