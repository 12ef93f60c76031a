#pragma once
// The web view as the program runs it: the feed of the channels made beside the
// board, the server started from the settings at start-up, and the dialog of
// its menu entry. A port that cannot be opened is said in a message box; the
// web view is off then and the program goes on.
#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace velmara {

class ChannelBoard;
class Session;
class WebBoardFeed;
class WebFeed;

class WebView : public QObject {
public:
    // title: the caption of a channel ("001" .. "004") in the program's language.
    WebView(Session& session, ChannelBoard& board,
            std::function<QString(const QString& channelCode)> title, QObject* parent = nullptr);
    ~WebView() override;

    // Starts the server when the settings say so (at start-up, after the main
    // window has given it its texts through setLanguage()).
    void start();
    // The dialog of "Einstellungen" > "Web-Ansicht ...": what the user confirms
    // is stored and takes effect at once.
    void configure(QWidget* parent);
    // The page's words and the channels' titles in the program's language.
    void setLanguage();

    WebFeed& feed() const { return *m_feed; }

private:
    void apply();

    Session& m_session;
    std::unique_ptr<WebFeed> m_feed;
    std::unique_ptr<WebBoardFeed> m_boardFeed;
};

} // namespace velmara
