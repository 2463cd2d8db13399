#include "remote_control.h"

#include "apps/application_id.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QPointer>

#include <QCoroDBusPendingCall>

namespace kavo {

namespace {

// RequestName's flag and answers, as the message bus defines them.
constexpr uint doNotQueue = 4;
constexpr uint primaryOwner = 1;
constexpr uint alreadyOwner = 4;

constexpr int busTimeoutMs = 5000;

QDBusMessage busMethod(const QString& method, const QString& name)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), method);
    message << name;
    return message;
}

} // namespace

RemoteControl::RemoteControl(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{ }

RemoteControl::~RemoteControl()
{
    // Sent without waiting for the answer: the bus handles it before anything else this connection sends later.
    if (m_named)
        m_bus.send(busMethod(QStringLiteral("ReleaseName"), applicationID));
    if (m_exported)
        m_bus.unregisterObject(objectPath);
}

QCoro::Task<bool> RemoteControl::claim()
{
    if (!m_bus.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots))
        co_return false;
    m_exported = true;
    // Without queueing: a second instance must learn at once that the first one runs, not wait for its turn.
    QDBusMessage request = busMethod(QStringLiteral("RequestName"), applicationID);
    request << doNotQueue;
    QDBusConnection bus = m_bus;
    QDBusPendingCall call = bus.asyncCall(request, busTimeoutMs);
    const QPointer<RemoteControl> self(this);
    co_await call;
    const QDBusPendingReply<uint> reply(call);
    const bool named = reply.isValid() && (reply.value() == primaryOwner || reply.value() == alreadyOwner);
    if (!self) {
        // Gone while asking: a name granted now would keep other instances out with nothing behind it.
        if (named)
            bus.send(busMethod(QStringLiteral("ReleaseName"), applicationID));
        co_return false;
    }
    m_named = named;
    if (!m_named) {
        m_bus.unregisterObject(objectPath);
        m_exported = false;
    }
    co_return m_named;
}

void RemoteControl::Toggle()
{
    Q_EMIT toggleRequested();
}

void RemoteControl::Start()
{
    Q_EMIT startRequested();
}

void RemoteControl::Stop()
{
    Q_EMIT stopRequested();
}

void RemoteControl::Cancel()
{
    Q_EMIT cancelRequested();
}

void RemoteControl::ShowWindow()
{
    Q_EMIT showWindowRequested();
}

} // namespace kavo
