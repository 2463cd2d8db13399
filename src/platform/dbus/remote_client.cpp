#include "remote_client.h"

#include "apps/application_id.h"
#include "remote_control.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>

#include <QCoroDBusPendingCall>

namespace kavo {

namespace {

// A running instance answers at once; one that does not within this time has hung.
constexpr int replyTimeoutMs = 5000;

QString methodOf(RemoteRequest request)
{
    switch (request) {
    case RemoteRequest::toggle:
        return QStringLiteral("Toggle");
    case RemoteRequest::start:
        return QStringLiteral("Start");
    case RemoteRequest::stop:
        return QStringLiteral("Stop");
    case RemoteRequest::cancel:
        return QStringLiteral("Cancel");
    case RemoteRequest::showWindow:
        return QStringLiteral("ShowWindow");
    }
    Q_UNREACHABLE();
}

} // namespace

QCoro::Task<QString> RemoteClient::send(QDBusConnection bus, RemoteRequest request)
{
    if (!bus.isConnected())
        co_return tr("Kavo Voice cannot be reached: there is no D-Bus session bus.");
    QDBusMessage message
        = QDBusMessage::createMethodCall(applicationID, RemoteControl::objectPath, applicationID, methodOf(request));
    // Nothing may start the application on the bus's behalf: without an instance the answer is "not running".
    message.setAutoStartService(false);
    QDBusPendingCall call = bus.asyncCall(message, replyTimeoutMs);
    co_await call;
    const QDBusError error = QDBusPendingReply<>(call).error();
    if (!error.isValid())
        co_return QString();
    // QtDBus has no error type of its own for NameHasNoOwner, the bus's answer when nothing may be started.
    if (error.type() == QDBusError::ServiceUnknown
        || error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
        co_return tr("Kavo Voice is not running.");
    if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout)
        co_return tr("Kavo Voice did not answer.");
    co_return tr("Kavo Voice did not take the request: %1").arg(error.message());
}

} // namespace kavo
