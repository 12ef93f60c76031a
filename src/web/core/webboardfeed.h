#pragma once
// Feeds the web view from the channel board: each running channel as its
// window shows it, and every reading its live curve takes. Made once beside the
// board; it keeps the curves of the running processes while the web view is
// off, so a viewer who comes later sees every value of them.
#include <QHash>
#include <QObject>

#include <functional>

namespace velmara {

class ChannelBoard;
struct ChannelSnapshot;
class WebFeed;

class WebBoardFeed : public QObject {
public:
    // title: the caption of a channel ("001" .. "004") in the program's language.
    WebBoardFeed(ChannelBoard& board, WebFeed& feed,
                 std::function<QString(const QString& channelCode)> title,
                 QObject* parent = nullptr);

    // Shows every channel anew (after the language changed).
    void refresh();

private:
    void follow(const ChannelSnapshot& snapshot);
    void show(const ChannelSnapshot& snapshot);

    ChannelBoard& m_board;
    WebFeed& m_feed;
    std::function<QString(const QString&)> m_title;
    QHash<QString, int> m_readings;       // the last reading the curve saw, per channel
    QHash<QString, qint32> m_curveSeries; // the temporary series of each curve
};

} // namespace velmara
