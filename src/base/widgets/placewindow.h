#pragma once
// Sizes and places a top-level window before it is shown (placeWindowRect):
// its minimum size becomes what its layout and its title need, it opens at
// least that large, inside the screen and over the window it belongs to.
#include <QWidget>

namespace velmara {

// The narrowest width that shows the window's title in full.
int minimumWidthForTitle(const QWidget& window);

// over: the window it belongs to (its top-level window is used); cascade: how
// many windows of its kind are open already.
void placeWindow(QWidget* window, const QWidget* over = nullptr, int cascade = 0);

} // namespace velmara
