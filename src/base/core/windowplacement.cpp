#include "base/core/windowplacement.h"

#include <algorithm>

namespace velmara {

namespace {
constexpr int kCascadeStep = 28;
} // namespace

QRect placeWindowRect(const WindowPlacement& p) {
    // The client area may use the free area less the frame around it.
    const QRect area = p.available.marginsRemoved(p.frame);
    const QSize size = p.wanted.expandedTo(p.minimum).boundedTo(area.size());
    QRect rect(QPoint(0, 0), size);
    rect.moveCenter(p.parent.isNull() ? area.center() : p.parent.center());
    rect.translate(p.cascade * kCascadeStep, p.cascade * kCascadeStep);
    // Pushed back inside: first off the right and bottom edges, then off the top left.
    rect.moveRight(std::min(rect.right(), area.right()));
    rect.moveBottom(std::min(rect.bottom(), area.bottom()));
    rect.moveLeft(std::max(rect.left(), area.left()));
    rect.moveTop(std::max(rect.top(), area.top()));
    return rect;
}

} // namespace velmara
