#include "support/scripted_messages.h"

#include "data/session.h"

#include <QDialog>
#include <gtest/gtest.h>

namespace velmara::test {

UnscriptedMessagesFail::UnscriptedMessagesFail(Prompter& prompter)
    : m_prompter(prompter), m_previous(prompter.setMessageService(this)) {
    m_previousModal = prompter.setModalHandler([](QDialog* dialog) {
        ADD_FAILURE() << "unscripted dialog: " << dialog->objectName().toStdString();
        return int(QDialog::Rejected);
    });
}
UnscriptedMessagesFail::~UnscriptedMessagesFail() {
    m_prompter.setModalHandler(std::move(m_previousModal));
    m_prompter.setMessageService(m_previous);
}

MsgAnswer UnscriptedMessagesFail::show(const Message& m) {
    ADD_FAILURE() << "unscripted message box: key '" << m.key.toStdString() << "' text '"
                  << m.text.toStdString() << "'";
    return safeAnswer(m.buttons);
}

void UnscriptedMessagesFail::notify(const QString& id, const Message& m) {
    ADD_FAILURE() << "unscripted notice '" << id.toStdString() << "': key '" << m.key.toStdString()
                  << "' text '" << m.text.toStdString() << "'";
}

ScriptedMessages::ScriptedMessages(Prompter& prompter)
    : m_prompter(prompter), m_previous(prompter.setMessageService(this)) {}
ScriptedMessages::ScriptedMessages(Session& session) : ScriptedMessages(session.prompter()) {}

ScriptedMessages::~ScriptedMessages() {
    m_prompter.setMessageService(m_previous);
    for (const auto& e : m_queue)
        ADD_FAILURE() << "scripted message box never shown: " << e.keyOrText.toStdString();
}

ScriptedMessages& ScriptedMessages::expect(const QString& keyOrText, MsgAnswer answer) {
    m_queue.push_back({keyOrText, answer});
    return *this;
}

static bool fits(const Message& m, const QString& keyOrText) {
    return (!m.key.isEmpty() && m.key == keyOrText) || m.text.contains(keyOrText);
}

MsgAnswer ScriptedMessages::show(const Message& m) {
    shown.append(m);
    if (m_queue.empty()) {
        ADD_FAILURE() << "unexpected message box: key '" << m.key.toStdString() << "' text '"
                      << m.text.toStdString() << "'";
        return MsgAnswer::Cancel;
    }
    Expectation e = m_queue.front();
    m_queue.pop_front();
    EXPECT_TRUE(fits(m, e.keyOrText))
        << "expected box '" << e.keyOrText.toStdString() << "', got key '" << m.key.toStdString()
        << "' text '" << m.text.toStdString() << "'";
    return e.answer;
}

void ScriptedMessages::notify(const QString& id, const Message& m) {
    show(m);
    openNotices.removeAll(id);
    openNotices.append(id);
}

void ScriptedMessages::withdraw(const QString& id) {
    openNotices.removeAll(id);
}

int ScriptedMessages::count(const QString& keyOrText) const {
    int n = 0;
    for (const auto& m : shown)
        n += fits(m, keyOrText) ? 1 : 0;
    return n;
}

} // namespace velmara::test
