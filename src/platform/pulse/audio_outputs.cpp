#include "audio_outputs.h"

#include "platform/pulse/pulse_connection.h"

#include <pulse/pulseaudio.h>

#include <QtConcurrent>

#include <QCoroFuture>

#include <algorithm>

namespace kavo {

namespace {

struct SinkInputQuery
{
    pa_threaded_mainloop* mainloop;
    QList<AudioOutput> outputs;
};

QString property(const pa_proplist* properties, const char* key)
{
    const char* value = pa_proplist_gets(properties, key);
    return value ? QString::fromUtf8(value) : QString();
}

std::optional<AudioOutput> outputFrom(const pa_sink_input_info& info)
{
    if (info.corked)
        return std::nullopt;
    bool isNumber = false;
    const qint32 pid = property(info.proplist, PA_PROP_APPLICATION_PROCESS_ID).toInt(&isNumber);
    // Streams of the server's own modules (loopbacks, tunnels) belong to no client process.
    if (!isNumber || pid <= 0)
        return std::nullopt;
    QString id = property(info.proplist, PA_PROP_APPLICATION_ID);
    if (id.isEmpty())
        id = property(info.proplist, PA_PROP_APPLICATION_PROCESS_BINARY);
    return AudioOutput { pid, id.isEmpty() ? std::nullopt : std::optional(id) };
}

void collectSinkInput(pa_context*, const pa_sink_input_info* info, int eol, void* userdata)
{
    auto* query = static_cast<SinkInputQuery*>(userdata);
    if (eol != 0 || !info) {
        pa_threaded_mainloop_signal(query->mainloop, 0);
        return;
    }
    const auto output = outputFrom(*info);
    const auto samePid = [&](const AudioOutput& known) { return known.pid == output->pid; };
    if (output && std::none_of(query->outputs.begin(), query->outputs.end(), samePid))
        query->outputs.append(*output);
}

} // namespace

PulseAudioOutputs::PulseAudioOutputs() = default;
PulseAudioOutputs::~PulseAudioOutputs() = default;

QCoro::Task<QList<AudioOutput>> PulseAudioOutputs::playing()
{
    const QFuture<QList<AudioOutput>> answer = QtConcurrent::run([this] { return query(); });
    co_return co_await answer;
}

QList<AudioOutput> PulseAudioOutputs::query()
{
    try {
        const auto connection = PulseConnection::reconnected(m_connection, QStringLiteral("Kavo Voice"));
        PulseConnection::Lock lock(*connection);
        SinkInputQuery query { connection->mainloop(), {} };
        connection->waitFor(pa_context_get_sink_input_info_list(connection->context(), collectSinkInput, &query));
        return query.outputs;
    } catch (const PulseError&) {
        return {};
    }
}

} // namespace kavo
