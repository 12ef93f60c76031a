#include "charts/ui/opendiagram.h"

#include "base/widgets/placewindow.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace velmara {

namespace {

// dlgDiagrammLadeMeldung: a small window that says the diagram is loading.
QWidget* showLoadingMessage(const DiagramContext& context) {
    auto* box = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    box->setObjectName(QStringLiteral("dlgDiagrammLadeMeldung"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    auto* label = new QLabel(context.tr(QStringLiteral("2102")), box);
    label->setObjectName(QStringLiteral("lblMeldung"));
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(label);
    // Over the window the user works in, not in a corner of the screen.
    placeWindow(box, QApplication::activeWindow());
    box->show();
    return box;
}

// One opening: its loading message and its outcome, told exactly once.
struct Opening {
    QPointer<QWidget> message;
    std::function<void(bool)> done;
    QList<QMetaObject::Connection> connections;
    bool finished = false;

    void finish(bool shown) {
        if (finished)
            return;
        finished = true;
        for (const auto& c : connections)
            QObject::disconnect(c);
        if (message)
            message->close();
        if (done)
            done(shown);
    }
};

} // namespace

DiagramWindow* openDiagram(const DiagramContext& context, const DiagramRequest& request,
                           QPointer<DiagramWindow>& window,
                           const std::function<void(DiagramWindow*)>& show,
                           const std::function<void(bool shown)>& done) {
    auto opening = std::make_shared<Opening>();
    opening->message = showLoadingMessage(context);
    opening->done = done;
    if (!window)
        window = new DiagramWindow(context);
    DiagramWindow* w = window;
    // Started first: dropping a load still running tells that opening, not this one.
    // The outcome comes later, from the event loop.
    w->startLoad(request);
    opening->connections << QObject::connect(w, &DiagramWindow::loadFinished, w,
                                             [w, show, opening](bool ok) {
                                                 if (ok) {
                                                     if (show)
                                                         show(w);
                                                     else
                                                         w->show();
                                                     w->raise();
                                                 } else {
                                                     w->close();
                                                 }
                                                 opening->finish(ok);
                                             });
    // A newer opening took over, or the window was closed while loading.
    opening->connections << QObject::connect(w, &DiagramWindow::loadAbandoned, w,
                                             [opening] { opening->finish(false); });
    opening->connections << QObject::connect(w, &QObject::destroyed,
                                             [opening] { opening->finish(false); });
    return w;
}

} // namespace velmara
