#include "mpris_players.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRegularExpression>

#include <QCoroDBusPendingCall>

namespace kavo {

namespace {

const QString servicePrefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A player that has hung must not hold up the start of a dictation.
constexpr int replyTimeoutMs = 300;

QDBusPendingCall askBus(const QString& method, const QVariantList& arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().asyncCall(message, replyTimeoutMs);
}

QDBusPendingCall askProperty(const QString& service, const QString& interface, const QString& name)
{
    auto message = QDBusMessage::createMethodCall(
        service, objectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    message << interface << name;
    return QDBusConnection::sessionBus().asyncCall(message, replyTimeoutMs);
}

QCoro::Task<QString> textOf(QDBusPendingCall call)
{
    co_await call;
    const QDBusPendingReply<QDBusVariant> reply(call);
    co_return reply.isValid() ? reply.value().variant().toString() : QString();
}

void send(const QString& service, const QString& method)
{
    QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(service, objectPath, playerInterface, method));
}

// Players that may run several times add an instance suffix to their bus name ("chromium.instance4012",
// "firefox.instance_1_84"); the part before it names the application.
QString applicationPart(const QString& service)
{
    static const QRegularExpression instance(QStringLiteral("\\.instance.*$"));
    return service.mid(servicePrefix.size()).remove(instance).toLower();
}

} // namespace

QCoro::Task<QList<MprisPlayer>> MprisPlayers::all()
{
    if (!QDBusConnection::sessionBus().isConnected())
        co_return {};
    QDBusPendingCall names = askBus(QStringLiteral("ListNames"));
    co_await names;
    QStringList services = QDBusPendingReply<QStringList>(names).value();
    services.removeIf([](const QString& service) { return !service.startsWith(servicePrefix); });

    // Every question goes to every player at once, so slow players cost one timeout in all, not one each.
    QList<QDBusPendingCall> statuses, desktopEntries, owners;
    for (const QString& service : std::as_const(services)) {
        statuses.append(askProperty(service, playerInterface, QStringLiteral("PlaybackStatus")));
        desktopEntries.append(askProperty(service, rootInterface, QStringLiteral("DesktopEntry")));
        owners.append(askBus(QStringLiteral("GetConnectionUnixProcessID"), { service }));
    }
    QList<MprisPlayer> players;
    // Coroutines get named values, never temporaries: g++ 12 destroys a temporary that lives across a suspension
    // twice.
    for (qsizetype index = 0; index < services.size(); ++index) {
        const QString status = co_await textOf(statuses[index]);
        const QString entry = co_await textOf(desktopEntries[index]);
        co_await owners[index];
        MprisPlayer player { services[index], status, QDBusPendingReply<quint32>(owners[index]).value(),
            { applicationPart(services[index]) } };
        if (!entry.isEmpty())
            player.applicationIDs.append(entry.toLower());
        players.append(player);
    }
    co_return players;
}

QCoro::Task<QString> MprisPlayers::playbackStatus(QString service)
{
    const QDBusPendingCall call = askProperty(service, playerInterface, QStringLiteral("PlaybackStatus"));
    co_return co_await textOf(call);
}

void MprisPlayers::pause(const QString& service)
{
    send(service, QStringLiteral("Pause"));
}

void MprisPlayers::play(const QString& service)
{
    send(service, QStringLiteral("Play"));
}

} // namespace kavo
