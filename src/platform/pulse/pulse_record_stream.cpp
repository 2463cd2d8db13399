#include "pulse_record_stream.h"

#include <pulse/pulseaudio.h>

namespace kavo {

namespace {

pa_sample_spec sampleSpec(const AudioFormat& format)
{
    return { format.sampleFormat == SampleFormat::float32 ? PA_SAMPLE_FLOAT32LE : PA_SAMPLE_S16LE,
        uint32_t(format.sampleRate), uint8_t(format.channelCount) };
}

} // namespace

PulseRecordStream::PulseRecordStream(std::shared_ptr<PulseConnection> connection, QString sourceName,
    AudioFormat format, int fragmentFrames, DataHandler onData, EndHandler onEnd)
    : m_connection(std::move(connection))
    , m_sourceName(std::move(sourceName))
    , m_format(format)
    , m_fragmentFrames(fragmentFrames)
    , m_onData(std::move(onData))
    , m_onEnd(std::move(onEnd))
{
    Q_ASSERT(m_format.interleaved);
}

PulseRecordStream::~PulseRecordStream()
{
    stop();
}

void PulseRecordStream::start()
{
    PulseConnection::Lock lock(*m_connection);
    if (m_recording)
        return;
    release();
    const pa_sample_spec sampleFormat = sampleSpec(m_format);
    pa_channel_map map;
    pa_channel_map_init_extend(&map, sampleFormat.channels, PA_CHANNEL_MAP_DEFAULT);
    m_stream = pa_stream_new(m_connection->context(), "Dictation", &sampleFormat, &map);
    if (!m_stream)
        throw PulseError(QStringLiteral("could not create a record stream: %1").arg(m_connection->lastError()));
    pa_stream_set_read_callback(m_stream, &PulseRecordStream::onRead, this);
    pa_stream_set_state_callback(m_stream, &PulseRecordStream::onStateChange, this);

    const auto fragmentBytes = uint32_t(m_fragmentFrames * pa_frame_size(&sampleFormat));
    const pa_buffer_attr attributes { uint32_t(-1), uint32_t(-1), uint32_t(-1), uint32_t(-1), fragmentBytes };
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    const QByteArray device = m_sourceName.toUtf8();
    if (pa_stream_connect_record(m_stream, m_sourceName.isEmpty() ? nullptr : device.constData(), &attributes, flags)
        < 0) {
        const QString error = m_connection->lastError();
        release();
        throw PulseError(QStringLiteral("could not start recording: %1").arg(error));
    }
    for (pa_stream_state_t state = pa_stream_get_state(m_stream); state != PA_STREAM_READY;
         state = pa_stream_get_state(m_stream)) {
        if (!PA_STREAM_IS_GOOD(state)) {
            const QString error = m_connection->lastError();
            release();
            throw PulseError(QStringLiteral("could not start recording: %1").arg(error));
        }
        pa_threaded_mainloop_wait(m_connection->mainloop());
    }
    m_recording = true;
}

void PulseRecordStream::stop()
{
    PulseConnection::Lock lock(*m_connection);
    release();
}

void PulseRecordStream::release()
{
    if (!m_stream)
        return;
    m_recording = false;
    pa_stream_set_read_callback(m_stream, nullptr, nullptr);
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

bool PulseRecordStream::isRunning() const
{
    PulseConnection::Lock lock(*m_connection);
    return m_recording && pa_stream_get_state(m_stream) == PA_STREAM_READY;
}

QString PulseRecordStream::deviceName() const
{
    PulseConnection::Lock lock(*m_connection);
    const char* name = m_stream ? pa_stream_get_device_name(m_stream) : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

void PulseRecordStream::onRead(pa_stream* stream, size_t, void* self)
{
    auto* recorder = static_cast<PulseRecordStream*>(self);
    const int frameBytes = recorder->m_format.channelCount * bytesPerSample(recorder->m_format.sampleFormat);
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
            return;
        // A hole (no data for these bytes) is skipped: there is nothing to record in it.
        if (data) {
            const void* planes[] = { data };
            recorder->m_onData({ recorder->m_format, qsizetype(bytes) / frameBytes, planes });
        }
        pa_stream_drop(stream);
    }
}

void PulseRecordStream::onStateChange(pa_stream* stream, void* self)
{
    auto* recorder = static_cast<PulseRecordStream*>(self);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    pa_threaded_mainloop_signal(recorder->m_connection->mainloop(), 0);
    if (PA_STREAM_IS_GOOD(state))
        return;
    // Only a stream that was recording has an end to report; a failed start is reported by start().
    if (!recorder->m_recording)
        return;
    recorder->m_recording = false;
    if (recorder->m_onEnd)
        recorder->m_onEnd(QStringLiteral("the microphone went away (%1)")
                              .arg(pa_strerror(pa_context_errno(recorder->m_connection->context()))));
}

} // namespace kavo
