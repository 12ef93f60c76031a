#include "base/core/messages.h"

#include <cstdio>

namespace velmara {

MsgAnswer safeAnswer(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    }
    return MsgAnswer::Ok;
}

Prompter::Prompter() = default;
Prompter::~Prompter() = default;

MessageService* Prompter::setMessageService(MessageService* service) {
    MessageService* previous = m_service;
    m_service = service;
    return previous;
}

void Prompter::adoptMessageService(std::unique_ptr<MessageService> service) {
    m_service = service.get();
    m_owned = std::move(service);
}

MsgAnswer Prompter::show(const Message& message) {
    if (m_service)
        return m_service->show(message);
    std::fprintf(stderr, "velmara: %s\n", qPrintable(message.text));
    return safeAnswer(message.buttons);
}

void Prompter::notify(const QString& id, const Message& message) {
    if (m_service)
        m_service->notify(id, message);
    else
        std::fprintf(stderr, "velmara: %s\n", qPrintable(message.text));
}

void Prompter::withdraw(const QString& id) {
    if (m_service)
        m_service->withdraw(id);
}

ModalHandler Prompter::setModalHandler(ModalHandler handler) {
    ModalHandler previous = std::move(m_modal);
    m_modal = std::move(handler);
    return previous;
}

} // namespace velmara
