#include "command_line.h"

#include <QCoroTask>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QHash>

namespace kavo::cli {

namespace {

// QtDBus's thread still passes a failed call's error on after it has handed the reply over; should the program end
// meanwhile, Qt's type registry is gone by then and Qt prints warnings. That thread takes replies in turn, so once
// the answer to a later call is in, it is done with the failed one.
void awaitFailedCall(QDBusConnection bus)
{
    if (bus.isConnected())
        bus.call(QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                     QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus.Peer"),
                     QStringLiteral("Ping")),
            QDBus::Block, 1000);
}

} // namespace

std::optional<RemoteRequest> remoteRequest(const QString& command)
{
    static const QHash<QString, RemoteRequest> requests { { QStringLiteral("toggle"), RemoteRequest::toggle },
        { QStringLiteral("start"), RemoteRequest::start }, { QStringLiteral("stop"), RemoteRequest::stop },
        { QStringLiteral("cancel"), RemoteRequest::cancel }, { QStringLiteral("show"), RemoteRequest::showWindow } };
    const auto found = requests.constFind(command);
    return found == requests.cend() ? std::nullopt : std::optional(*found);
}

// The remote-control commands only pass the request on: the running application decides what it means.
int runRemote(const QString& command, RemoteRequest request, const QStringList& arguments, QTextStream& err)
{
    if (!arguments.isEmpty())
        return refuse(err, command, QStringLiteral("takes no arguments"));
    const QDBusConnection bus = QDBusConnection::sessionBus();
    const QString error = QCoro::waitFor(RemoteClient::send(bus, request));
    if (error.isEmpty())
        return 0;
    awaitFailedCall(bus);
    err << "kavo-voice: " << error << '\n';
    return 1;
}

} // namespace kavo::cli
