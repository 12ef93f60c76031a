#pragma once
// The modal-dialog seam for tests: each dialog that opens is handed to the next
// scripted step (which may set its controls) and answered with its result.
// A dialog nobody scripted fails the test and is rejected.
#include "base/widgets/modal.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace velmara::test {

class ScriptedDialogs {
public:
    using Step = std::function<int(QDialog*)>;
    explicit ScriptedDialogs(Prompter& prompter) : m_prompter(&prompter) {
        m_previous = prompter.setModalHandler([this](QDialog* d) { return next(d); });
    }
    ~ScriptedDialogs() {
        m_prompter->setModalHandler(m_previous);
        for (const auto& name : m_names)
            ADD_FAILURE() << "scripted dialog never opened: " << name.toStdString();
    }
    // The next dialog must have this objectName; step answers it.
    ScriptedDialogs& expect(const QString& objectName, Step step) {
        m_names.push_back(objectName);
        m_steps.push_back(std::move(step));
        return *this;
    }
    ScriptedDialogs& accept(const QString& objectName) {
        return expect(objectName, [](QDialog*) { return int(QDialog::Accepted); });
    }
    ScriptedDialogs& reject(const QString& objectName) {
        return expect(objectName, [](QDialog*) { return int(QDialog::Rejected); });
    }
    QStringList opened;

private:
    int next(QDialog* d) {
        opened << d->objectName();
        if (m_steps.empty()) {
            ADD_FAILURE() << "unscripted dialog: " << d->objectName().toStdString();
            return QDialog::Rejected;
        }
        QString name = m_names.front();
        Step step = std::move(m_steps.front());
        m_names.pop_front();
        m_steps.pop_front();
        EXPECT_EQ(d->objectName(), name);
        return step(d);
    }
    std::deque<QString> m_names;
    std::deque<Step> m_steps;
    Prompter* m_prompter;
    ModalHandler m_previous;
};

} // namespace velmara::test
