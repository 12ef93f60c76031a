#pragma once
// The one way the program shows a message box. The user interface installs a
// service that shows real boxes; tests install a scripted responder.
#include <QString>

namespace velmara {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct Message {
    QString text;  // what the box says
    QString title; // empty: no title of the program's own
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    QString key; // text key of the main text ("1090"), empty for fixed texts
};

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MsgAnswer show(const Message& message) = 0;
    // A notice with an OK button that does not wait for the user: the caller
    // goes on at once (the poll keeps running behind it). A notice with the id
    // of one still open replaces it. withdraw closes it, if it is still open.
    virtual void notify(const QString& id, const Message& message) = 0;
    virtual void withdraw(const QString& id) = 0;
};

// The service in use; null until one is installed.
MessageService* messageService();
// Installs a service and returns the previous one (the caller keeps ownership).
MessageService* setMessageService(MessageService* service);

// Shows a box through the installed service. Without a service the message is
// written to standard error and the safe answer (Cancel / No / Ok) is returned.
MsgAnswer showMessage(const Message& message);

// Shows / withdraws a notice through the installed service (without a service
// the text goes to standard error).
void showNotice(const QString& id, const Message& message);
void withdrawNotice(const QString& id);

} // namespace velmara
