#pragma once
// The serial port the settings choose: ComPort names COM 1 to 4, and
// ComDevice1 .. ComDevice4 hold their device paths. The one place that reads them.
#include <QString>

namespace velmara {

inline constexpr const char* kComPortKey = "ComPort";
constexpr int comPortCount = 4;

// The port a ComPort value names when read as a number: 1 to 4, or 0 for none.
int comPortNumber(const QString& setting);
// "ComDevice1" .. "ComDevice4": the setting holding the device path of COM n.
QString comDeviceKey(int port);

// The chosen port: its number (0 for none) and device path ("" when there is none).
struct PortChoice {
    int number = 0;
    QString devicePath;
};
class SettingsStore;
PortChoice configuredPort(SettingsStore& settings);

} // namespace velmara
