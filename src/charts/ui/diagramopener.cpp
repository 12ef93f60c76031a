#include "charts/ui/diagramopener.h"

#include "base/widgets/placewindow.h"
#include "base/widgets/subwindowactivation.h"

#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace velmara {

namespace {

// Below this a diagram shows neither its controls nor a readable chart.
const QSize kMinimumDiagramSize(640, 420);

// dlgDiagrammLadeMeldung: a small window over the asking window that says the diagram is loading.
QWidget* showLoadingMessage(const DiagramContext& context, QWidget* owner, const QWidget* over) {
    auto* box = new QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint);
    box->setObjectName(QStringLiteral("dlgDiagrammLadeMeldung"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    auto* label = new QLabel(context.tr(QStringLiteral("2102")), box);
    label->setObjectName(QStringLiteral("lblMeldung"));
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->addWidget(label);
    placeWindow(box, over);
    box->show();
    return box;
}

} // namespace

QSize diagramWindowSize(const QString& stored, const QSize& area, const QSize& minimum) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,5})\\s*x\\s*(\\d{1,5})\\s*$"));
    const QRegularExpressionMatch m = pattern.match(stored);
    QSize size = m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : area;
    size = size.expandedTo(minimum);
    return size.boundedTo(area);
}

// One opening: its loading message and its outcome, told exactly once.
struct DiagramOpener::Opening {
    QPointer<QWidget> message;
    std::function<void(bool)> done;
    bool finished = false;

    void finish(bool shown) {
        if (finished)
            return;
        finished = true;
        if (message)
            message->close();
        if (done)
            done(shown);
    }
};

DiagramOpener::DiagramOpener(QMdiArea* area, QObject* parent) : QObject(parent), m_area(area) {}

DiagramOpener::~DiagramOpener() {
    if (m_current)
        std::exchange(m_current, nullptr)->finish(false);
}

QMdiSubWindow* DiagramOpener::subWindow() const {
    return m_window ? qobject_cast<QMdiSubWindow*>(m_window->parentWidget()) : nullptr;
}

void DiagramOpener::open(const DiagramContext& context, const DiagramRequest& request,
                         std::function<void(bool shown)> done, const QWidget* from) {
    m_settings = context.settings;
    QWidget* main = m_area ? m_area->window() : nullptr;
    m_onItsOwn = !m_area || (from && from->window() != main);
    // The opening still loading is replaced: it learns that it ended, and its
    // window and sub-window stay for this one.
    if (m_current)
        std::exchange(m_current, nullptr)->finish(false);
    auto opening = std::make_shared<Opening>();
    opening->done = std::move(done);
    opening->message = showLoadingMessage(context, main, from ? from->window() : main);
    if (!m_window) {
        m_window = new DiagramWindow(context);
        m_placed = false;
        connect(m_window, &DiagramWindow::loadFinished, this, [this](bool ok) {
            std::shared_ptr<Opening> finished = std::exchange(m_current, nullptr);
            DiagramWindow* w = m_window;
            if (ok) {
                show(w);
            } else if (QMdiSubWindow* sub = subWindow()) {
                sub->close();
            } else if (w) {
                w->close();
            }
            if (finished)
                finished->finish(ok);
        });
        // Closed while loading.
        connect(m_window, &DiagramWindow::loadAbandoned, this, [this] {
            if (m_current)
                std::exchange(m_current, nullptr)->finish(false);
        });
        connect(m_window, &QObject::destroyed, this, [this] {
            if (m_current)
                std::exchange(m_current, nullptr)->finish(false);
        });
    }
    m_window->startLoad(request);
    m_current = opening;
}

void DiagramOpener::show(DiagramWindow* window) {
    if (!window)
        return;
    if (m_onItsOwn)
        showOnItsOwn(window);
    else
        showInArea(window);
    window->setFocus();
}

void DiagramOpener::showInArea(DiagramWindow* window) {
    QMdiSubWindow* sub = subWindow();
    if (!sub) {
        window->removeEventFilter(this);
        m_placed = false;
        sub = m_area->addSubWindow(window);
        sub->setObjectName(QStringLiteral("subDiagramm"));
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->installEventFilter(this);
        // While it is the area's active window, the main window's print entries print it.
        QPointer<DiagramWindow> target(window);
        watchSubWindowActivation(sub, [target] {
            if (target && target->context().printItemChanged)
                target->context().printItemChanged(target, true);
        });
        const QRect area = m_area->viewport()->rect();
        const QSize size =
            diagramWindowSize(m_settings.get ? m_settings.get(kDiagramWindowSizeKey) : QString(),
                              area.size(), kMinimumDiagramSize);
        sub->setGeometry(QRect(QPoint(0, 0), size));
    }
    if (sub->isMinimized())
        sub->showNormal();
    sub->show();
    m_area->setActiveSubWindow(sub);
    if (QWidget* main = m_area->window()) {
        main->raise();
        main->activateWindow();
    }
}

void DiagramOpener::showOnItsOwn(DiagramWindow* window) {
    if (QMdiSubWindow* sub = subWindow()) {
        // The window leaves the area; its empty frame goes.
        rememberSize();
        sub->removeEventFilter(this);
        sub->setWidget(nullptr);
        sub->close();
    }
    QWidget* main = m_area ? m_area->window() : nullptr;
    if (!m_placed || !window->isWindow() || window->parentWidget() != main) {
        // Over the main window, in the size it would have in the area.
        window->setParent(main, Qt::Window);
        window->installEventFilter(this);
        QSize space = m_area ? m_area->viewport()->size() : QSize();
        if (space.isEmpty())
            if (const QScreen* screen = window->screen())
                space = screen->availableSize();
        window->resize(
            diagramWindowSize(m_settings.get ? m_settings.get(kDiagramWindowSizeKey) : QString(),
                              space, kMinimumDiagramSize));
        placeWindow(window, main);
        m_placed = true;
    }
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

QWidget* DiagramOpener::frame() const {
    if (QMdiSubWindow* sub = subWindow())
        return sub;
    return m_window && m_window->isWindow() ? m_window.data() : nullptr;
}

void DiagramOpener::rememberSize() {
    QWidget* sized = frame();
    if (!sized || !m_settings.set || sized->isMaximized() || sized->isMinimized())
        return;
    m_settings.set(kDiagramWindowSizeKey,
                   QStringLiteral("%1x%2").arg(sized->width()).arg(sized->height()));
}

bool DiagramOpener::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched && watched == frame())
        rememberSize();
    return QObject::eventFilter(watched, event);
}

} // namespace velmara
