#include "notify/dbusnotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QStringList>
#include <QVariantMap>

namespace velmara {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
} // namespace

QDBusMessage notificationCall(const QString& title, const QString& body,
                              DesktopNotifier::Urgency urgency) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(uchar(urgency == DesktopNotifier::Urgency::Critical ? 2 : 1)));
    call << QStringLiteral("velmara") << quint32(0) << QString() << title << body << QStringList()
         << hints << qint32(-1);
    return call;
}

bool DBusNotifier::available() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(kService).value())
        return true;
    return bus.interface()->activatableServiceNames().value().contains(kService);
}

bool DBusNotifier::notify(const QString& title, const QString& body, Urgency urgency) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The poll does not wait for the desktop: the answer is not awaited.
    return bus.send(notificationCall(title, body, urgency));
}

} // namespace velmara
