#pragma once
// How the main window gets its channel windows: a factory per channel code, and
// an empty stand-in window per channel for tests that need no real channel.
#include "channel/ui/channelview.h"

#include <functional>

namespace velmara {

class MainWindow;

// Creates the window of one channel at start-up; the main window takes
// ownership of the returned view and deletes it before the link and the
// databases are released.
using ChannelViewFactory = std::function<ChannelView*(const QString& code, MainWindow* main)>;

// An empty child window per channel until the real channel window exists.
class PlaceholderChannelView : public QWidget, public ChannelView {
public:
    // caption: the channel's name in the current language.
    PlaceholderChannelView(const QString& code, const QString& caption, QWidget* parent = nullptr);
    QWidget* widget() override { return this; }
    QString channelCode() const override { return m_code; }
    bool releaseBattery(qint32) override { return false; }
    bool isBatteryUsed(qint32) override { return false; }

private:
    QString m_code;
};

ChannelViewFactory placeholderChannelViewFactory();

} // namespace velmara
