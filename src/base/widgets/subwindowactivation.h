#pragma once
// Tells a window inside the main window's area when it becomes the active one:
// when the area activates its sub-window (a click, a new window), and when the
// main window is activated again with that sub-window the active one. The other
// sub-windows of the area learn nothing then.
#include <functional>

class QMdiSubWindow;

namespace velmara {

// activated runs on each such activation while sub lives.
void watchSubWindowActivation(QMdiSubWindow* sub, std::function<void()> activated);

} // namespace velmara
