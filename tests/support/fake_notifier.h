#pragma once
// A desktop notifier that notes each notification as "title | body" (with
// " !" behind a critical one); available() answers as set.
#include "notify/desktopnotifier.h"

#include <QStringList>

namespace velmara::test {

class FakeNotifier : public DesktopNotifier {
public:
    explicit FakeNotifier(QStringList* sent, bool service = true)
        : m_sent(sent), m_service(service) {}
    bool notify(const QString& title, const QString& body, Urgency urgency) override {
        *m_sent << title + " | " + body + (urgency == Urgency::Critical ? " !" : "");
        return true;
    }
    bool available() override { return m_service; }

private:
    QStringList* m_sent;
    bool m_service;
};

} // namespace velmara::test
