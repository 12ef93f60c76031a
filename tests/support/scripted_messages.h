#pragma once
// The message-box seam for tests: a scripted responder records every box and
// answers it from a queue; a box nobody scripted fails the test.
#include "base/core/messages.h"

#include <QList>
#include <QStringList>

#include <deque>

namespace velmara {
class Session;
}

namespace velmara::test {

// Installed on every test prompter: any box shown while no ScriptedMessages is
// active fails, and so does any modal dialog while no ScriptedDialogs is.
class UnscriptedMessagesFail : public MessageService {
public:
    explicit UnscriptedMessagesFail(Prompter& prompter);
    ~UnscriptedMessagesFail() override;
    MsgAnswer show(const Message& m) override;
    void notify(const QString& id, const Message& m) override;
    void withdraw(const QString&) override {}

private:
    Prompter& m_prompter;
    MessageService* m_previous;
    ModalHandler m_previousModal;
};

// A prompter of a test's own (for code that takes a Prompter without a
// session), guarded like a session's.
class GuardedPrompter : public Prompter {
public:
    GuardedPrompter() : m_guard(*this) {}

private:
    UnscriptedMessagesFail m_guard;
};

class ScriptedMessages : public MessageService {
public:
    explicit ScriptedMessages(Prompter& prompter);
    explicit ScriptedMessages(Session& session);
    ~ScriptedMessages() override; // fails the test when scripted answers were left over
    // The next box must carry this text key (or, for fixed texts, contain this
    // text); it is answered with the answer given.
    ScriptedMessages& expect(const QString& keyOrText, MsgAnswer answer = MsgAnswer::Ok);
    MsgAnswer show(const Message& m) override;
    // A notice is matched against the expectations like a box (its answer is
    // not used); a withdrawn one leaves openNotices.
    void notify(const QString& id, const Message& m) override;
    void withdraw(const QString& id) override;

    QList<Message> shown;
    QStringList openNotices; // ids of notices shown and not withdrawn
    int count(const QString& keyOrText) const;

private:
    struct Expectation {
        QString keyOrText;
        MsgAnswer answer;
    };
    std::deque<Expectation> m_queue;
    Prompter& m_prompter;
    MessageService* m_previous;
};

} // namespace velmara::test
