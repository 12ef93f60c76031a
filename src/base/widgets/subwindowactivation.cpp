#include "base/widgets/subwindowactivation.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace velmara {

namespace {

// Lives as a child of its sub-window.
class ActivationWatch : public QObject {
public:
    ActivationWatch(QMdiSubWindow* sub, std::function<void()> activated)
        : QObject(sub), m_sub(sub), m_activated(std::move(activated)) {
        sub->installEventFilter(this);
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates before, Qt::WindowStates now) {
                    if (now.testFlag(Qt::WindowActive) && !before.testFlag(Qt::WindowActive))
                        m_activated();
                });
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The main window's activation reaches every sub-window; only the active one counts.
        if (watched == m_sub && event->type() == QEvent::WindowActivate && m_sub->mdiArea() &&
            m_sub->mdiArea()->activeSubWindow() == m_sub)
            m_activated();
        return QObject::eventFilter(watched, event);
    }

private:
    QMdiSubWindow* m_sub;
    std::function<void()> m_activated;
};

} // namespace

void watchSubWindowActivation(QMdiSubWindow* sub, std::function<void()> activated) {
    if (sub && activated)
        new ActivationWatch(sub, std::move(activated));
}

} // namespace velmara
