#include "voice_engine.h"

#include <stdexcept>

namespace kavo {

namespace {

// 20 ms fragments: the noise reducer takes 10 ms frames, and the first words reach the file without delay.
constexpr int fragmentMilliseconds = 20;

int processingRate(const PulseConnection::Source& source)
{
    if (source.sampleRate <= 0 || source.channelCount < 1)
        throw std::runtime_error("the microphone reports no usable audio format");
    return NoiseReducer::supportsRate(source.sampleRate) ? source.sampleRate : 48000;
}

} // namespace

VoiceEngine::VoiceEngine(std::shared_ptr<PulseConnection> connection, const PulseConnection::Source& source)
    : m_connection(std::move(connection))
    , m_sourceName(source.name)
    , m_reducer(processingRate(source))
{
    m_processed.reserve(std::size_t(sampleRate()));
}

void VoiceEngine::start(Tap tap, PulseRecordStream::EndHandler onEnd)
{
    stop();
    m_reducer.reset();
    m_tap = std::move(tap);
    const AudioFormat format { sampleRate(), 1, SampleFormat::float32, true };
    m_stream = std::make_unique<PulseRecordStream>(
        m_connection, m_sourceName, format, sampleRate() * fragmentMilliseconds / 1000,
        [this](const AudioBuffer& buffer) { process(buffer); }, std::move(onEnd));
    try {
        m_stream->start();
    } catch (...) {
        m_stream.reset();
        throw;
    }
}

void VoiceEngine::stop()
{
    if (m_stream)
        m_stream->stop();
    m_stream.reset();
}

bool VoiceEngine::isRunning() const
{
    return m_stream && m_stream->isRunning();
}

void VoiceEngine::process(const AudioBuffer& buffer)
{
    m_reducer.process({ static_cast<const float*>(buffer.planes[0]), std::size_t(buffer.frameCount) }, m_processed);
    if (m_processed.empty())
        return;
    const void* planes[] = { m_processed.data() };
    m_tap({ buffer.format, qsizetype(m_processed.size()), planes });
}

} // namespace kavo
