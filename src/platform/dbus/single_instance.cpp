#include "single_instance.h"

#include "remote_client.h"

namespace kavo {

QCoro::Task<InstanceStart> startInstance(QDBusConnection bus)
{
    auto control = std::make_unique<RemoteControl>(bus);
    if (co_await control->claim())
        co_return InstanceStart { std::move(control), false, {} };
    // Without a bus there is no telling whether another instance runs: this one goes on without a remote control,
    // and the request fails with the reason.
    QString error = co_await RemoteClient::send(bus, RemoteRequest::showWindow);
    co_return InstanceStart { nullptr, bus.isConnected(), std::move(error) };
}

} // namespace kavo
