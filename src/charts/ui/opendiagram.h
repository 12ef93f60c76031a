#pragma once
// Opening a diagram: the loading message, the one diagram window (reused while
// it is open), loading, and showing it or closing it again.
#include "charts/ui/diagramwindow.h"

#include <QPointer>

#include <functional>

namespace velmara {

// request: TempMessWerte (a channel window) or MessWerte (the stored-series window),
// the series, and 0 or the MessWertId of an end value. window: the caller's slot for
// the one diagram window: an open window there is reused, a new one is put there.
// show: how a loaded window is shown (e.g. as a child of the main window's area);
// without it the window shows itself. done (optional) learns the outcome.
DiagramWindow* openDiagram(const DiagramContext& context, const DiagramRequest& request,
                           QPointer<DiagramWindow>& window,
                           const std::function<void(DiagramWindow*)>& show = {},
                           const std::function<void(bool shown)>& done = {});

} // namespace velmara
