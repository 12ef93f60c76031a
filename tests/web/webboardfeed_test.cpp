// The web view's feed of the channel board: what a viewer is told of a channel.
#include "../channel/channel_fixture.h"

#include "channel/core/channelboard.h"
#include "channel/core/channelscreen.h"
#include "web/core/webboardfeed.h"
#include "web/core/webfeed.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace velmara::test {
namespace {

class WebBoard : public ChannelTest {};

// The message of a kind for channel 1 among those a new viewer is sent.
QJsonObject message(const WebFeed& feed, const QString& type) {
    for (const QByteArray& m : feed.currentState()) {
        const QJsonObject o = QJsonDocument::fromJson(m).object();
        if (o["type"] == type && o["channel"] == "1")
            return o;
    }
    return {};
}

TEST_F(WebBoard, AViewerSeesTheChannelAsItsWindowShowsItAndEveryValueOfItsCurve) {
    WebFeed feed;
    ChannelBoard board(session());
    queueStart();
    ChannelController& c = board.start(ChannelCode(1), link.get(), false, [this] { return now; });
    WebBoardFeed bridge(board, feed, [](const QString& code) { return "Kanal " + code; });
    poll(c, "001,M,SL,L01500,V07234,K00350");
    later(3);
    poll(c, "001,M,SL,L01400,V07300,K00352");
    const ChannelScreen& screen = *board.screen(ChannelCode(1));

    QJsonObject channel = message(feed, "channel");
    EXPECT_EQ(channel["title"], "Kanal 001");
    EXPECT_EQ(channel["state"], screen.text(ChannelField::Status));
    EXPECT_EQ(channel["current"], screen.text(ChannelField::Strom));
    EXPECT_EQ(channel["voltage"], screen.text(ChannelField::Spannung));
    EXPECT_EQ(channel["capacity"], screen.text(ChannelField::Kapazitaet));
    EXPECT_TRUE(channel["current"].toString().contains("1")) << "the values, not empty boxes";
    EXPECT_EQ(channel["readAt"].toDouble(), double(now.toMSecsSinceEpoch()));
    EXPECT_EQ(
        QJsonDocument(message(feed, "curve")["points"].toArray()).toJson(QJsonDocument::Compact),
        "[[0,7.234,1.5,0.35],[3,7.3,1.4,0.352]]");

    poll(c, "001,M,SG"); // a fault: shown as one, no value for the curve
    channel = message(feed, "channel");
    EXPECT_TRUE(channel["fault"].toBool());
    EXPECT_EQ(channel["state"], screen.text(ChannelField::Status));
    EXPECT_EQ(message(feed, "curve")["points"].toArray().size(), 2);
}

} // namespace
} // namespace velmara::test
