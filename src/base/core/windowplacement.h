#pragma once
// Where a secondary window opens, without any widget: at least the size its
// layout needs, never larger than the free area of the screen, inside that area,
// centred over the window it belongs to (or over the area when it has none), and
// moved down and right by a step for each window of its kind already open.
#include <QMargins>
#include <QRect>
#include <QSize>

namespace velmara {

struct WindowPlacement {
    QSize wanted;    // the size the window would like (its size hint or last size)
    QSize minimum;   // what its layout and title need
    QRect available; // the screen's free area (without panels)
    QRect parent;    // the frame of the window it belongs to; null: none
    QMargins frame;  // the window manager's frame around the client area
    int cascade = 0; // windows of the same kind already open
};

// The client geometry of the window.
QRect placeWindowRect(const WindowPlacement& p);

} // namespace velmara
