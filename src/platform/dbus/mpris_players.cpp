#include "mpris_players.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRegularExpression>

namespace kavo {

namespace {

const QString servicePrefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString objectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString rootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString playerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A player that has hung must not hold up the start of a dictation.
constexpr int replyTimeoutMs = 300;

QDBusPendingCall askProperty(const QString& service, const QString& interface, const QString& name)
{
    auto message = QDBusMessage::createMethodCall(
        service, objectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    message << interface << name;
    return QDBusConnection::sessionBus().asyncCall(message, replyTimeoutMs);
}

QString textOf(QDBusPendingCall call)
{
    call.waitForFinished();
    const QDBusPendingReply<QDBusVariant> reply(call);
    return reply.isValid() ? reply.value().variant().toString() : QString();
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

QList<MprisPlayer> MprisPlayers::all()
{
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus)
        return {};
    QStringList services = bus->registeredServiceNames().value();
    services.removeIf([](const QString& service) { return !service.startsWith(servicePrefix); });

    // Both questions go to every player at once, so slow players cost one timeout in all, not one each.
    QList<QDBusPendingCall> statuses, desktopEntries;
    for (const QString& service : services) {
        statuses.append(askProperty(service, playerInterface, QStringLiteral("PlaybackStatus")));
        desktopEntries.append(askProperty(service, rootInterface, QStringLiteral("DesktopEntry")));
    }
    QList<MprisPlayer> players;
    for (qsizetype index = 0; index < services.size(); ++index) {
        MprisPlayer player { services[index], textOf(statuses[index]), bus->servicePid(services[index]).value(),
            { applicationPart(services[index]) } };
        if (const QString entry = textOf(desktopEntries[index]).toLower(); !entry.isEmpty())
            player.applicationIDs.append(entry);
        players.append(player);
    }
    return players;
}

QString MprisPlayers::playbackStatus(const QString& service)
{
    return textOf(askProperty(service, playerInterface, QStringLiteral("PlaybackStatus")));
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
