#include "pulse_connection.h"

#include <pulse/pulseaudio.h>

namespace kavo {

namespace {

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

void signalMainloop(pa_threaded_mainloop* mainloop)
{
    pa_threaded_mainloop_signal(mainloop, 0);
}

PulseConnection::Source sourceFrom(const pa_source_info& info)
{
    return { text(info.name), text(info.description), int(info.sample_spec.rate), int(info.sample_spec.channels),
        info.monitor_of_sink != PA_INVALID_INDEX };
}

struct SourceQuery
{
    pa_threaded_mainloop* mainloop;
    QList<PulseConnection::Source> sources;
};

void collectSource(pa_context*, const pa_source_info* info, int eol, void* userdata)
{
    auto* query = static_cast<SourceQuery*>(userdata);
    if (eol == 0 && info)
        query->sources.append(sourceFrom(*info));
    else
        signalMainloop(query->mainloop);
}

} // namespace

PulseConnection::Lock::Lock(const PulseConnection& connection)
    : m_mainloop(connection.m_mainloop)
{
    pa_threaded_mainloop_lock(m_mainloop);
}

PulseConnection::Lock::~Lock()
{
    pa_threaded_mainloop_unlock(m_mainloop);
}

std::shared_ptr<PulseConnection> PulseConnection::open(const QString& clientName)
{
    std::shared_ptr<PulseConnection> connection(new PulseConnection);
    connection->connect(clientName);
    return connection;
}

std::shared_ptr<PulseConnection> PulseConnection::reconnected(
    std::shared_ptr<PulseConnection>& connection, const QString& clientName)
{
    if (!connection || !connection->isConnected())
        connection = open(clientName);
    return connection;
}

void PulseConnection::connect(const QString& clientName)
{
    m_mainloop = pa_threaded_mainloop_new();
    if (!m_mainloop)
        throw PulseError(QStringLiteral("could not create the PulseAudio event loop"));
    pa_threaded_mainloop_set_name(m_mainloop, "kavo.pulse");
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_mainloop), clientName.toUtf8().constData());
    if (!m_context)
        throw PulseError(QStringLiteral("could not create a PulseAudio context"));

    pa_context_set_state_callback(
        m_context, [](pa_context*, void* mainloop) { signalMainloop(static_cast<pa_threaded_mainloop*>(mainloop)); },
        m_mainloop);
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
        throw PulseError(
            QStringLiteral("could not connect to PulseAudio: %1").arg(pa_strerror(pa_context_errno(m_context))));
    if (pa_threaded_mainloop_start(m_mainloop) < 0)
        throw PulseError(QStringLiteral("could not start the PulseAudio event loop"));

    Lock lock(*this);
    // A refused or unreachable server fails the context; libpulse bounds the attempt itself.
    for (pa_context_state_t state = pa_context_get_state(m_context); state != PA_CONTEXT_READY;
         state = pa_context_get_state(m_context)) {
        if (!PA_CONTEXT_IS_GOOD(state))
            throw PulseError(QStringLiteral("could not connect to PulseAudio: %1").arg(lastError()));
        pa_threaded_mainloop_wait(m_mainloop);
    }

    pa_context_set_subscribe_callback(
        m_context,
        [](pa_context*, pa_subscription_event_type_t, uint32_t, void* self) {
            static_cast<PulseConnection*>(self)->notifyChange();
        },
        this);
    const auto mask
        = pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SOURCE | PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SERVER);
    if (pa_operation* operation = pa_context_subscribe(m_context, mask, nullptr, nullptr))
        pa_operation_unref(operation);
}

PulseConnection::~PulseConnection()
{
    if (m_mainloop)
        pa_threaded_mainloop_stop(m_mainloop);
    if (m_context) {
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    if (m_mainloop)
        pa_threaded_mainloop_free(m_mainloop);
}

bool PulseConnection::isConnected() const
{
    Lock lock(*this);
    return pa_context_get_state(m_context) == PA_CONTEXT_READY;
}

void PulseConnection::waitFor(pa_operation* operation) const
{
    if (!operation)
        throw PulseError(QStringLiteral("PulseAudio refused the request: %1").arg(lastError()));
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING
        && pa_context_get_state(m_context) == PA_CONTEXT_READY)
        pa_threaded_mainloop_wait(m_mainloop);
    const bool completed = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    pa_operation_unref(operation);
    if (!completed)
        throw PulseError(QStringLiteral("the connection to PulseAudio was lost"));
}

QString PulseConnection::lastError() const
{
    return QString::fromUtf8(pa_strerror(pa_context_errno(m_context)));
}

QList<PulseConnection::Source> PulseConnection::sources()
{
    Lock lock(*this);
    SourceQuery query { m_mainloop, {} };
    waitFor(pa_context_get_source_info_list(m_context, collectSource, &query));
    return query.sources;
}

std::optional<PulseConnection::Source> PulseConnection::source(const QString& name)
{
    Lock lock(*this);
    SourceQuery query { m_mainloop, {} };
    // A name the server does not know ends the query with an error and no entry; that is an answer, not a failure.
    waitFor(pa_context_get_source_info_by_name(m_context, name.toUtf8().constData(), collectSource, &query));
    if (query.sources.isEmpty())
        return std::nullopt;
    return query.sources.first();
}

PulseConnection::Defaults PulseConnection::defaults()
{
    struct Query
    {
        pa_threaded_mainloop* mainloop;
        Defaults defaults;
    } query { m_mainloop, {} };
    Lock lock(*this);
    waitFor(pa_context_get_server_info(
        m_context,
        [](pa_context*, const pa_server_info* info, void* userdata) {
            auto* query = static_cast<Query*>(userdata);
            if (info)
                query->defaults = { text(info->default_source_name), text(info->default_sink_name) };
            signalMainloop(query->mainloop);
        },
        &query));
    return query.defaults;
}

std::optional<PulseConnection::Source> PulseConnection::inputDevice(const QString& id)
{
    const QString name = id.isEmpty() ? defaults().source : id;
    return name.isEmpty() ? std::nullopt : source(name);
}

void PulseConnection::setChangeHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_handlerLock);
    m_changeHandler = std::move(handler);
}

void PulseConnection::notifyChange()
{
    std::lock_guard lock(m_handlerLock);
    if (m_changeHandler)
        m_changeHandler();
}

} // namespace kavo
