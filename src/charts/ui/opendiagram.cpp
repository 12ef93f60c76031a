#include "charts/ui/opendiagram.h"

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
    box->show();
    return box;
}

} // namespace

DiagramWindow* openDiagram(const DiagramContext& context, const DiagramRequest& request,
                           QPointer<DiagramWindow>& window,
                           const std::function<void(DiagramWindow*)>& show,
                           const std::function<void(bool shown)>& done) {
    QPointer<QWidget> message = showLoadingMessage(context);
    if (!window)
        window = new DiagramWindow(context);
    DiagramWindow* w = window;
    // One outcome per opening: the connection ends with the first answer.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(w, &DiagramWindow::loadFinished, w,
                                   [w, show, done, message, connection](bool ok) {
                                       QObject::disconnect(*connection);
                                       if (message)
                                           message->close();
                                       if (ok) {
                                           if (show)
                                               show(w);
                                           else
                                               w->show();
                                           w->raise();
                                       } else {
                                           w->close();
                                       }
                                       if (done)
                                           done(ok);
                                   });
    // A window closed while loading takes the message with it.
    QObject::connect(w, &QObject::destroyed, message, [message] {
        if (message)
            message->close();
    });
    w->startLoad(request);
    return w;
}

} // namespace velmara
