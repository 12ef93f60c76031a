#include "charts/ui/diagramopener.h"

#include "base/widgets/placewindow.h"

#include <QEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace velmara {

namespace {

// Below this a diagram shows neither its controls nor a readable chart.
const QSize kMinimumDiagramSize(640, 420);

// dlgDiagrammLadeMeldung: a small window over the main window that says the diagram is loading.
QWidget* showLoadingMessage(const DiagramContext& context, QWidget* over) {
    auto* box = new QWidget(over, Qt::Tool | Qt::WindowStaysOnTopHint);
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
                         std::function<void(bool shown)> done) {
    m_settings = context.settings;
    // The opening still loading is replaced: it learns that it ended, and its
    // window and sub-window stay for this one.
    if (m_current)
        std::exchange(m_current, nullptr)->finish(false);
    auto opening = std::make_shared<Opening>();
    opening->done = std::move(done);
    opening->message = showLoadingMessage(context, m_area ? m_area->window() : nullptr);
    if (!m_window) {
        m_window = new DiagramWindow(context);
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
    if (!m_area) {
        window->show();
        window->raise();
        window->activateWindow();
        return;
    }
    QMdiSubWindow* sub = subWindow();
    if (!sub) {
        sub = m_area->addSubWindow(window);
        sub->setObjectName(QStringLiteral("subDiagramm"));
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->installEventFilter(this);
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
    window->setFocus();
}

void DiagramOpener::rememberSize() {
    QMdiSubWindow* sub = subWindow();
    if (!sub || !m_settings.set || sub->isMaximized() || sub->isMinimized())
        return;
    m_settings.set(kDiagramWindowSizeKey,
                   QStringLiteral("%1x%2").arg(sub->width()).arg(sub->height()));
}

bool DiagramOpener::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == subWindow())
        rememberSize();
    return QObject::eventFilter(watched, event);
}

} // namespace velmara
