#include "web/ui/webview.h"

#include "data/endvaluelines.h"
#include "data/session.h"
#include "web/core/webaccessstore.h"
#include "web/core/webboardfeed.h"
#include "web/core/webfeed.h"
#include "web/ui/webviewdialog.h"

namespace velmara {

WebView::WebView(Session& session, ChannelBoard& board,
                 std::function<QString(const QString&)> title, QObject* parent)
    : QObject(parent), m_session(session), m_feed(std::make_unique<WebFeed>()) {
    m_boardFeed = std::make_unique<WebBoardFeed>(board, *m_feed, std::move(title));
}

WebView::~WebView() {
    // The board's feed goes before the feed it writes to.
    m_boardFeed.reset();
}

void WebView::start() {
    apply();
}

void WebView::configure(QWidget* parent) {
    const auto chosen = runWebViewDialog(m_session, loadWebAccess(m_session.settings()), parent);
    if (!chosen)
        return;
    storeWebAccess(m_session.settings(), *chosen);
    apply();
}

void WebView::setLanguage() {
    // The page's own words: the channel window's labels and its own few.
    static const std::pair<const char*, const char*> words[] = {
        {"current", "0824"},     {"voltage", "0826"},        {"capacity", "0828"},
        {"afterCharge", "0830"}, {"afterDischarge", "0832"}, {"minutes", "4501"},
        {"lost", "4910"},        {"connected", "4911"},
    };
    QMap<QString, QString> texts;
    for (const auto& [name, key] : words)
        texts.insert(QLatin1String(name), m_session.text(QLatin1String(key)));
    // The heading over the end-value lines, in their fixed columns.
    texts.insert(QStringLiteral("endValueHeading"),
                 endValueHeadingLine(m_session.text(QStringLiteral("0834")),
                                     m_session.text(QStringLiteral("0836")),
                                     m_session.text(QStringLiteral("0838")),
                                     m_session.text(QStringLiteral("0840"))));
    m_feed->setTexts(m_session.texts().languageKey(), texts);
    m_boardFeed->refresh();
}

void WebView::apply() {
    const WebAccess access = loadWebAccess(m_session.settings());
    if (m_feed->apply(access))
        return;
    Message m;
    m.key = QStringLiteral("4907");
    m.text = m_session.text(m.key).arg(access.port);
    m.icon = MsgIcon::Exclamation;
    m_session.prompter().show(m);
}

} // namespace velmara
