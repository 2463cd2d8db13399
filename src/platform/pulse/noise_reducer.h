#pragma once

#include <QString>

#include <memory>
#include <span>
#include <vector>

namespace webrtc {
class AudioProcessing;
}

namespace kavo {

/// WebRTC audio processing for dictation: noise suppression, a high-pass filter against rumble and adaptive digital
/// gain control, on mono float audio. The processor works on 10 ms frames; a partial frame waits for the next call.
class NoiseReducer
{
public:
    /// The rates the processor runs at natively.
    static bool supportsRate(int sampleRate);

    /// Throws `std::runtime_error` when the processor cannot be set up for `sampleRate`.
    explicit NoiseReducer(int sampleRate);
    ~NoiseReducer();
    NoiseReducer(const NoiseReducer&) = delete;
    NoiseReducer& operator=(const NoiseReducer&) = delete;

    int sampleRate() const { return m_sampleRate; }

    /// Processes `samples` and appends every completed 10 ms frame to `output` (cleared first).
    void process(std::span<const float> samples, std::vector<float>& output);
    /// Drops a partial frame and the processor's adaptation, for a new recording.
    void reset();

private:
    int m_sampleRate;
    std::unique_ptr<webrtc::AudioProcessing> m_processing;
    std::vector<float> m_frame;
    std::size_t m_filled = 0;
};

} // namespace kavo
