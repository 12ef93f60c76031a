#pragma once
// A desktop notifier that notes each notification as "title | body".
#include "notify/desktopnotifier.h"

#include <QStringList>

namespace velmara::test {

class FakeNotifier : public DesktopNotifier {
public:
    explicit FakeNotifier(QStringList* sent) : m_sent(sent) {}
    bool notify(const QString& title, const QString& body) override {
        *m_sent << title + " | " + body;
        return true;
    }

private:
    QStringList* m_sent;
};

} // namespace velmara::test
