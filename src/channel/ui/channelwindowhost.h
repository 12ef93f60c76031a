#pragma once
// What a channel window needs from the main window around it: the other
// channels, the battery and diagram windows, the report and the menu's check
// mark. The main window provides it; a window without one (tests) works alone.
#include "channel/ui/channelview.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace velmara {

class BatteryUsage;
class ProgramRecord;
struct BatteriesContext;

class ChannelWindowHost {
public:
    virtual ~ChannelWindowHost() = default;

    // The program is ending: windows close instead of hiding.
    virtual bool hasEnded() const = 0;
    virtual void setChannelChecked(const QString& channelCode, bool checked) = 0;
    virtual std::shared_ptr<BatteryUsage> batteryUsage() = 0;
    virtual std::shared_ptr<const BatteriesContext> batteriesContext() = 0;
    // Opens the diagram of a temporary series (endValueId 0: the whole series);
    // done learns whether it was shown.
    virtual void openDiagram(qint32 seriesId, qint32 endValueId,
                             const std::function<void(bool shown)>& done, QWidget* caller,
                             std::function<const ProgramRecord*()> program) = 0;
    virtual void printReport(const QWidget* caller, const ProgramRecord* program, bool toPdf) = 0;
    // The window became the active one: the print entries print its report.
    virtual void windowActivated(QWidget* window, std::function<void(bool toPdf)> print) = 0;
};

} // namespace velmara
