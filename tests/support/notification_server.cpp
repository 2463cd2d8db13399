#include "notification_server.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace kavo::test {

namespace {

const QString objectPath = u"/org/freedesktop/Notifications"_qs;

} // namespace

// The method of org.freedesktop.Notifications that the application calls.
class NotificationsAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit NotificationsAdaptor(NotificationServer* server)
        : QDBusAbstractAdaptor(server)
        , m_server(server)
    { }

public Q_SLOTS:
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon, const QString& summary,
        const QString& body, const QStringList& actions, const QVariantMap& hints, int expireTimeout)
    {
        return m_server->record({ 0, appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout });
    }

private:
    NotificationServer* m_server;
};

NotificationServer::NotificationServer(std::chrono::milliseconds timeout)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_error = u"no session bus: "_qs + bus.lastError().message();
        return;
    }
    new NotificationsAdaptor(this);
    if (!bus.registerObject(objectPath, this)) {
        m_error = u"cannot export %1: %2"_qs.arg(objectPath, bus.lastError().message());
        return;
    }
    QDBusConnectionInterface* busInterface = bus.interface();
    QEventLoop acquired;
    connect(busInterface, &QDBusConnectionInterface::serviceRegistered, &acquired, [&](const QString& name) {
        if (name == serviceName())
            acquired.quit();
    });
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = busInterface->registerService(
        serviceName(), QDBusConnectionInterface::QueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) {
        m_error = u"cannot ask for %1: %2"_qs.arg(serviceName(), reply.error().message());
        return;
    }
    if (reply.value() == QDBusConnectionInterface::ServiceQueued) {
        QTimer::singleShot(timeout, &acquired, &QEventLoop::quit);
        acquired.exec();
    }
    m_registered = busInterface->serviceOwner(serviceName()).value() == bus.baseService();
    if (!m_registered)
        m_error = u"another program kept %1 for over %2 s"_qs.arg(serviceName())
                      .arg(std::chrono::duration_cast<std::chrono::seconds>(timeout).count());
}

NotificationServer::~NotificationServer()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Also leaves the bus's queue when the name never came.
    bus.unregisterService(serviceName());
    bus.unregisterObject(objectPath);
}

bool NotificationServer::waitForNotifications(qsizetype count, std::chrono::milliseconds timeout) const
{
    return QTest::qWaitFor([&] { return m_notifications.size() >= count; }, int(timeout.count()));
}

QString NotificationServer::serviceName()
{
    return u"org.freedesktop.Notifications"_qs;
}

uint NotificationServer::record(ReceivedNotification notification)
{
    notification.id = ++m_lastId;
    m_notifications.append(notification);
    return notification.id;
}

} // namespace kavo::test

#include "notification_server.moc"
