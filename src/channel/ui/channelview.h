#pragma once
// What the main window needs from a channel window: its widget (placed into a
// sub-window of the main window's MDI area), its channel code, and the two
// battery queries of the fan-out. The channel windows implement it; until then a
// placeholder window stands in for each channel.
#include <QString>
#include <QWidget>

#include <utility>

namespace velmara {

class ChannelView {
public:
    virtual ~ChannelView();
    // The window shown in the MDI area. It may be the view itself.
    virtual QWidget* widget() = 0;
    // "001" .. "004"
    virtual QString channelCode() const = 0;
    // Releases the battery when the channel points at it (true) or does nothing (false).
    virtual bool releaseBattery(qint32 id) = 0;
    // True when the channel records or queues the battery.
    virtual bool isBatteryUsed(qint32 id) = 0;
    // The series whose values the channel stores now (its battery and series
    // ids); -1, -1 while it records none.
    virtual std::pair<qint32, qint32> recordedSeries() const { return {-1, -1}; }
};

// The caption text key of a channel window: "0800" for channel 1, "0799",
// "0798", "0797" for channels 2 to 4.
QString channelCaptionKey(const QString& channelCode);

} // namespace velmara
