#include "shell/ui/modal.h"

#include "shell/core/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace velmara {

namespace {
ModalHandler g_handler;

class WidgetMessageService : public MessageService {
public:
    MsgAnswer show(const Message& m) override {
        QMessageBox box(QApplication::activeWindow());
        box.setText(m.text);
        box.setWindowTitle(m.title.isEmpty() ? QStringLiteral("velmara") : m.title);
        switch (m.icon) {
        case MsgIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MsgIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        }
        switch (m.buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            box.exec();
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            return box.exec() == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
        }
        return MsgAnswer::Ok;
    }
};
} // namespace

int execModal(QDialog* dialog) {
    if (g_handler)
        return g_handler(dialog);
    return dialog->exec();
}

ModalHandler setModalHandler(ModalHandler handler) {
    ModalHandler previous = std::move(g_handler);
    g_handler = std::move(handler);
    return previous;
}

void installWidgetMessageService() {
    static WidgetMessageService service;
    setMessageService(&service);
}

} // namespace velmara
