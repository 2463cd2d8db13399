#pragma once

#include "audio/codec/audio_buffer.h"

#include <functional>
#include <vector>

class QObject;

namespace kavo {

/// Gathers channel 0 of captured audio into tap buffers of 100 ms and hands each buffer's window levels
/// (0.05 s windows, in dB) to the main thread, spaced over the buffer's duration. Called on an audio thread.
class LevelTap
{
public:
    static constexpr double windowSeconds = 0.05;

    /// `delivery` runs on `context`'s thread; `context` must outlive every `append` call.
    LevelTap(QObject* context, std::function<void(float)> delivery);

    void append(const AudioBuffer& buffer);
    /// Drops a partly gathered buffer, for a new recording.
    void clear();

private:
    QObject* m_context;
    std::function<void(float)> m_delivery;
    std::vector<float> m_samples;
    std::size_t m_capacity = 0;
    int m_sampleRate = 0;
};

} // namespace kavo
