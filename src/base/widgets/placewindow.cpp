#include "base/widgets/placewindow.h"

#include "base/core/windowplacement.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

#include <algorithm>

namespace velmara {

int minimumWidthForTitle(const QWidget& window) {
    constexpr int kTitleBarButtons = 160; // icon, minimise, close and margins
    constexpr int kNarrowest = 320;
    return std::max(kNarrowest, window.fontMetrics().horizontalAdvance(window.windowTitle()) +
                                    kTitleBarButtons);
}

void placeWindow(QWidget* window, const QWidget* over, int cascade) {
    if (!window)
        return;
    window->ensurePolished();
    if (QLayout* layout = window->layout())
        layout->activate();
    QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    minimum.setWidth(std::max(minimum.width(), minimumWidthForTitle(*window)));
    const QWidget* parent = over ? over->window() : nullptr;
    QScreen* screen = parent ? parent->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    WindowPlacement p;
    p.available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Never more than the screen offers, even when the layout asks for more:
    // the window manager would otherwise push part of it off the screen.
    minimum = minimum.boundedTo(p.available.size());
    window->setMinimumSize(minimum);
    p.minimum = minimum;
    p.wanted = window->testAttribute(Qt::WA_Resized) ? window->size() : window->sizeHint();
    if (parent && parent->isVisible())
        p.parent = parent->frameGeometry();
    // The frame is known once the window was shown; before, a usual title bar.
    const QRect frame = window->frameGeometry(), client = window->geometry();
    p.frame = window->isVisible() && frame != client
                  ? QMargins(client.left() - frame.left(), client.top() - frame.top(),
                             frame.right() - client.right(), frame.bottom() - client.bottom())
                  : QMargins(4, 30, 4, 4);
    p.cascade = cascade;
    window->setGeometry(placeWindowRect(p));
}

} // namespace velmara
