#pragma once
// The diagram options dialog without its widgets: the form's content, how it is
// filled from the diagram's ranges and the settings, its validation (a text key
// and the field that takes the focus) and the ranges it hands back on OK.
#include "charts/core/axisrange.h"
#include "charts/core/diagramsettings.h"

#include <QLocale>
#include <QString>

namespace velmara {

enum class OptionsField { None, XFrom, XTo, YFrom, YTo };

struct DiagramOptionsForm {
    DiagramSwitches switches;
    bool xAutomatic = true;
    QString xFrom, xTo; // txtXVon, txtXBis (minutes)
    bool yAutomatic = true;
    QString yFrom, yTo; // txtYVon, txtYBis
};

struct OptionsCheck {
    QString textKey; // empty: valid
    OptionsField focus = OptionsField::None;
    bool ok() const { return textKey.isEmpty(); }
};

// The form on opening: switches from the settings, each axis automatic or its
// range as the shortest decimal text in the locale (without grouping).
DiagramOptionsForm initialOptionsForm(const DiagramSwitches& switches, const AxisRange& xRange,
                                      const AxisRange& yRange, const QLocale& locale = QLocale());

// The number of a range field (surrounding blanks ignored).
QString formatRangeValue(double value, const QLocale& locale = QLocale());

// First failure wins: X range (when not automatic) missing "2164", not increasing
// "2160", negative start "2166"; then the Y range missing "2164", not increasing
// "2162". A field that holds no number counts as missing.
OptionsCheck validateOptions(const DiagramOptionsForm& form, const QLocale& locale = QLocale());

// The ranges handed back on OK: automatic, or manual with the fields' numbers.
struct OptionsResult {
    AxisRange xRange;
    AxisRange yRange;
};
OptionsResult optionsRanges(const DiagramOptionsForm& form, const QLocale& locale = QLocale());

} // namespace velmara
