#pragma once
// The one way the program shows a message box. The user interface installs a
// service that shows real boxes; tests install a scripted responder.
#include <QString>

#include <functional>
#include <memory>

class QDialog;

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

// The answer that changes nothing: Ok for an OK box, Cancel / No for a question.
MsgAnswer safeAnswer(MsgButtons buttons);

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

// Runs a modal dialog and returns QDialog::Accepted or QDialog::Rejected.
using ModalHandler = std::function<int(QDialog*)>;

// How one running program asks its user: the message service that shows boxes
// and notices, and the handler that runs modal dialogs (base/widgets/modal.h).
// The session owns one; the user interface installs real boxes, tests install
// scripted answers.
class Prompter {
public:
    Prompter();
    ~Prompter();
    Prompter(const Prompter&) = delete;
    Prompter& operator=(const Prompter&) = delete;

    // The service in use; null until one is installed.
    MessageService* messageService() const { return m_service; }
    // Installs a service and returns the previous one (the caller keeps ownership).
    MessageService* setMessageService(MessageService* service);
    // Installs a service the prompter keeps.
    void adoptMessageService(std::unique_ptr<MessageService> service);

    // Shows a box through the installed service. Without a service the message is
    // written to standard error and the safe answer (Cancel / No / Ok) is returned.
    MsgAnswer show(const Message& message);
    // Shows / withdraws a notice through the installed service (without a service
    // the text goes to standard error).
    void notify(const QString& id, const Message& message);
    void withdraw(const QString& id);

    // The handler execModal hands dialogs to (empty: QDialog::exec). Installing
    // one returns the previous.
    const ModalHandler& modalHandler() const { return m_modal; }
    ModalHandler setModalHandler(ModalHandler handler);

private:
    MessageService* m_service = nullptr;
    std::unique_ptr<MessageService> m_owned;
    ModalHandler m_modal;
};

} // namespace velmara
