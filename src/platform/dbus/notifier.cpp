#include "notifier.h"

#include "apps/application_id.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

namespace kavo {

Notifier::Notifier(QObject* parent)
    : QObject(parent)
{ }

void Notifier::post(const QString& title, const QString& body)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    // The desktop entry lets the notification server show the application's own name and icon; urgency is
    // sent as the byte the protocol asks for, 1 being "normal".
    const QVariantMap hints { { QStringLiteral("desktop-entry"), QString(applicationID) },
        { QStringLiteral("urgency"), QVariant::fromValue(uchar(1)) } };
    message << QStringLiteral("Kavo Voice") << 0u << QString(applicationID) << title << body << QStringList() << hints
            << -1;
    // The reply, the notification's id or an error, is of no use: the pending call is let go unwatched.
    QDBusConnection::sessionBus().asyncCall(message);
}

} // namespace kavo
