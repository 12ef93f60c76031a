#include "base/widgets/modal.h"

#include "base/core/messages.h"
#include "base/widgets/placewindow.h"

#include <QApplication>
#include <QHash>
#include <QMessageBox>
#include <QPointer>

namespace velmara {

namespace {

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QString boxTitle(const Message& m) {
    return m.title.isEmpty() ? QStringLiteral("velmara") : m.title;
}

class WidgetMessageService : public MessageService {
public:
    MsgAnswer show(const Message& m) override {
        QMessageBox box(QApplication::activeWindow());
        box.setText(m.text);
        box.setWindowTitle(boxTitle(m));
        box.setIcon(boxIcon(m.icon));
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

    void notify(const QString& id, const Message& m) override {
        withdraw(id);
        auto* box = new QMessageBox(boxIcon(m.icon), boxTitle(m), m.text, QMessageBox::Ok,
                                    QApplication::activeWindow());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->setObjectName(QStringLiteral("notice_") + id);
        box->show();
        m_notices.insert(id, box);
    }

    void withdraw(const QString& id) override {
        if (QPointer<QMessageBox> box = m_notices.take(id))
            box->close();
    }

private:
    QHash<QString, QPointer<QMessageBox>> m_notices;
};
} // namespace

int execModal(Prompter& prompter, QDialog* dialog) {
    if (prompter.modalHandler())
        return prompter.modalHandler()(dialog);
    // Every dialog opens at the size its contents and title need, over its window.
    placeWindow(dialog, dialog->parentWidget());
    return dialog->exec();
}

void installWidgetMessageService(Prompter& prompter) {
    prompter.adoptMessageService(std::make_unique<WidgetMessageService>());
}

} // namespace velmara
