#include "base/core/messages.h"


#include <cstdio>

namespace velmara {

namespace {
MessageService* g_service = nullptr;
}

MessageService* messageService() {
    return g_service;
}

MessageService* setMessageService(MessageService* service) {
    MessageService* previous = g_service;
    g_service = service;
    return previous;
}

MsgAnswer showMessage(const Message& message) {
    if (g_service)
        return g_service->show(message);
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

void showNotice(const QString& id, const Message& message) {
    if (g_service)
        g_service->notify(id, message);
    else
        std::fprintf(stderr, "velmara: %s\n", qPrintable(message.text));
}

void withdrawNotice(const QString& id) {
    if (g_service)
        g_service->withdraw(id);
}

} // namespace velmara
