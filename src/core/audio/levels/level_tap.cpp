#include "level_tap.h"

#include "audio/levels/mic_engine.h"

namespace kavo {

namespace {

float sampleAt(const AudioBuffer& buffer, qsizetype frame)
{
    const qsizetype index = buffer.format.interleaved ? frame * buffer.format.channelCount : frame;
    if (buffer.format.sampleFormat == SampleFormat::float32)
        return static_cast<const float*>(buffer.planes[0])[index];
    return static_cast<const qint16*>(buffer.planes[0])[index] / 32768.0f;
}

} // namespace

LevelTap::LevelTap(QObject* context, std::function<void(float)> delivery)
    : m_context(context)
    , m_delivery(std::move(delivery))
{ }

void LevelTap::append(const AudioBuffer& buffer)
{
    if (buffer.format.sampleRate != m_sampleRate) {
        m_sampleRate = buffer.format.sampleRate;
        m_capacity = MicEngine::tapFrames(m_sampleRate);
        m_samples.clear();
        m_samples.reserve(m_capacity);
    }
    for (qsizetype frame = 0; frame < buffer.frameCount; ++frame) {
        m_samples.push_back(sampleAt(buffer, frame));
        if (m_samples.size() < m_capacity)
            continue;
        const MicEngine::Buffer tapBuffer { m_samples, 1, double(m_sampleRate) };
        MicEngine::deliverSpaced(MicEngine::windowDecibels(tapBuffer, windowSeconds), tapBuffer, m_context, m_delivery);
        m_samples.clear();
    }
}

void LevelTap::clear()
{
    m_samples.clear();
}

} // namespace kavo
