#pragma once
// Rules of the application shell that need no window: which channels a charger
// model has, the derived extension setting, the caption, the visibility that is
// stored on exit, the fan-out of battery queries over the channels, and the
// geometry of the window arrangements.
#include "link/chargermodel.h"

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace velmara {

// The channels whose windows are loaded for a charger model: all four for
// "QMT4", only channel 1 for "QMT1" and for any unknown model.
QStringList loadedChannelCodes(const QString& usedCharger);

// The value of ProgramExtensionAvaiable: P4ExtensionAvailable for "QMT4",
// P1ExtensionAvailable for "QMT1", "NO" otherwise.
QString deriveProgramExtension(const QString& usedCharger, const QString& p1Extension,
                               const QString& p4Extension);

// Whether the panels of channels 2 to 4 are shown (QMT4) or hidden (QMT1);
// no value for any other model (the panels stay as they are).
std::optional<bool> upperChannelPanelsVisible(const QString& usedCharger);

// "<0001> - <0002> major.minor.patch"
QString mainCaption(const QString& programName, const QString& edition, int major, int minor,
                    int patch);

// The settings written when the user confirms the quit question: only
// Akku1Visible for "QMT1", Akku1Visible .. Akku4Visible otherwise.
// checked[i] is the check mark of channel i + 1.
QList<QPair<QString, QString>> visibilityToStore(const QString& usedCharger,
                                                 const std::array<bool, 4>& checked);

// Asks the channels in order and returns the code of the first one that answers
// true; later channels are not asked. none when no channel does.
QString firstAnsweringChannel(const QStringList& codes,
                              const std::function<bool(const QString&)>& ask, const QString& none);

// Tiling of n windows in an area: Qt::Vertical stacks them one above the other
// (each full width), Qt::Horizontal puts them side by side (each full height).
// The rectangles cover the area without overlap; the last one takes the rest.
QList<QRect> tileRects(const QRect& area, int n, Qt::Orientation stacking);

} // namespace velmara
