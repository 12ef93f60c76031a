#include "base/core/messages.h"

#include <cstdio>

namespace velmara {

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
    switch (message.buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    }
    return MsgAnswer::Ok;
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

namespace {
Prompter* g_current = nullptr; // TRANSITIONAL
Prompter& fallbackPrompter() {
    static Prompter none; // TRANSITIONAL
    return none;
}
Prompter& current() {
    return g_current ? *g_current : fallbackPrompter();
}
} // namespace

Prompter& currentPrompter() {
    return current();
}
void setCurrentPrompter(Prompter* prompter) {
    g_current = prompter;
}
MessageService* messageService() {
    return current().messageService();
}
MessageService* setMessageService(MessageService* service) {
    return current().setMessageService(service);
}
MsgAnswer showMessage(const Message& message) {
    return current().show(message);
}
void showNotice(const QString& id, const Message& message) {
    current().notify(id, message);
}
void withdrawNotice(const QString& id) {
    current().withdraw(id);
}

} // namespace velmara
