#pragma once

#include <QCoreApplication>
#include <QCoroTask>
#include <QDBusConnection>

namespace kavo {

/// What another program can ask the running application to do through its remote control.
enum class RemoteRequest { toggle, start, stop, cancel, showWindow };

/// Sends requests to the application instance that runs on a bus, as `kavo-voice toggle` and a second start do.
class RemoteClient
{
    Q_DECLARE_TR_FUNCTIONS(RemoteClient)

public:
    /// Calls the request's method on the running instance, waiting a few seconds at most. Returns an empty string
    /// when it was delivered, else why not, in the interface language.
    static QCoro::Task<QString> send(QDBusConnection bus, RemoteRequest request);
};

} // namespace kavo
