#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <chrono>

namespace kavo::test {

/// One Notify call as the notification server received it.
struct ReceivedNotification
{
    uint id = 0; ///< the id the server answered with
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int expireTimeout = 0;
};

/// A desktop notification server on the test process's session bus: it owns org.freedesktop.Notifications while
/// it lives and records every notification posted to it, answering with increasing ids. Test programs that run at
/// the same time take turns: the constructor waits in the bus's queue for the name.
class NotificationServer : public QObject
{
    Q_OBJECT

public:
    explicit NotificationServer(std::chrono::milliseconds timeout = std::chrono::minutes(4));
    ~NotificationServer() override;

    /// True once the server owns the name; else `errorString()` says why it does not.
    bool isRegistered() const { return m_registered; }
    QString errorString() const { return m_error; }

    QList<ReceivedNotification> notifications() const { return m_notifications; }
    /// Waits until at least `count` notifications have arrived; true when they did in time.
    bool waitForNotifications(qsizetype count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

    static QString serviceName();

private:
    friend class NotificationsAdaptor;
    uint record(ReceivedNotification notification);

    bool m_registered = false;
    QString m_error;
    uint m_lastId = 0;
    QList<ReceivedNotification> m_notifications;
};

} // namespace kavo::test
