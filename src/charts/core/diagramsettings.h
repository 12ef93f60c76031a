#pragma once
// The diagram's switches kept in the settings store: the minimum/maximum lines
// of the three curves and the two grids ("YES" shows, anything else hides), and
// whether the print buttons work (PrintingLook).
#include <QString>

#include <functional>

namespace velmara {

namespace settingkeys {
inline const QString MinMaxSpannungVisible = QStringLiteral("MinMaxSpannungVisible");
inline const QString MinMaxStromVisible = QStringLiteral("MinMaxStromVisible");
inline const QString MinMaxKapazitaetVisible = QStringLiteral("MinMaxKapazitaetVisible");
inline const QString xGridVisible = QStringLiteral("xGridVisible");
inline const QString yGridVisible = QStringLiteral("yGridVisible");
inline const QString PrintingLook = QStringLiteral("PrintingLook");
} // namespace settingkeys

// Reading and writing the settings store, handed in by the caller.
struct SettingsAccess {
    std::function<QString(const QString& key)> get;
    std::function<void(const QString& key, const QString& value)> set;
};

struct DiagramSwitches {
    bool minMaxVoltage = false;
    bool minMaxCurrent = false;
    bool minMaxCapacity = false;
    bool xGrid = false;
    bool yGrid = false;

    bool operator==(const DiagramSwitches&) const = default;
};

// Each switch is on only for the exact text "YES".
DiagramSwitches readDiagramSwitches(const SettingsAccess& settings);
// "YES" or "NO" under each key.
void writeDiagramSwitches(const SettingsAccess& settings, const DiagramSwitches& switches);

// The print buttons work only when PrintingLook, without surrounding blanks, is "1".
bool printingEnabled(const QString& printingLook);

} // namespace velmara
