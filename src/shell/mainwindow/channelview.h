#pragma once
// What the main window needs from a channel window: its widget (placed into a
// sub-window of the main window's MDI area), its channel code, and the two
// battery queries of the fan-out. The channel windows implement it; until then a
// placeholder window stands in for each channel.
#include <QString>
#include <QWidget>

#include <functional>

namespace velmara {

class frmMDIMainForm;

class ChannelView {
public:
    virtual ~ChannelView();
    // The window shown in the MDI area. It may be the view itself.
    virtual QWidget* widget() = 0;
    // "001" .. "004"
    virtual QString channelCode() const = 0;
    // Releases the battery when the channel points at it (true) or does nothing (false).
    virtual bool resetAkkuId(qint32 id) = 0;
    // True when the channel records or queues the battery.
    virtual bool isAkkuUsed(qint32 id) = 0;
};

// Creates the window of one channel at start-up; the main window takes
// ownership of the returned view and deletes it before the link and the
// databases are released.
using ChannelViewFactory = std::function<ChannelView*(const QString& code, frmMDIMainForm* main)>;

// The caption text key of a channel window: "0800" for channel 1, "0799",
// "0798", "0797" for channels 2 to 4.
QString channelCaptionKey(const QString& channelCode);

// An empty child window per channel until the real channel window exists.
class PlaceholderChannelView : public QWidget, public ChannelView {
public:
    PlaceholderChannelView(const QString& code, QWidget* parent = nullptr);
    QWidget* widget() override { return this; }
    QString channelCode() const override { return m_code; }
    bool resetAkkuId(qint32) override { return false; }
    bool isAkkuUsed(qint32) override { return false; }

private:
    QString m_code;
};

ChannelViewFactory placeholderChannelViewFactory();

} // namespace velmara
