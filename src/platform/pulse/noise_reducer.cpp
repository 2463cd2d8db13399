#include "noise_reducer.h"

#include <webrtc/modules/audio_processing/include/audio_processing.h>

#include <algorithm>
#include <stdexcept>

namespace kavo {

namespace {

void check(int status, const char* what)
{
    if (status != webrtc::AudioProcessing::kNoError)
        throw std::runtime_error(
            std::string("noise reduction: could not ") + what + " (" + std::to_string(status) + ")");
}

} // namespace

bool NoiseReducer::supportsRate(int sampleRate)
{
    return sampleRate == 8000 || sampleRate == 16000 || sampleRate == 32000 || sampleRate == 48000;
}

NoiseReducer::NoiseReducer(int sampleRate)
    : m_sampleRate(sampleRate)
    , m_frame(std::size_t(sampleRate / 100))
{
    if (!supportsRate(sampleRate))
        throw std::runtime_error("noise reduction: unsupported sample rate " + std::to_string(sampleRate));
    webrtc::Config config;
    // The experimental analog gain control would try to change the microphone's hardware volume.
    config.Set<webrtc::ExperimentalAgc>(new webrtc::ExperimentalAgc(false));
    m_processing.reset(webrtc::AudioProcessing::Create(config));
    if (!m_processing)
        throw std::runtime_error("noise reduction: could not create the audio processor");
    check(m_processing->high_pass_filter()->Enable(true), "enable the high-pass filter");
    check(m_processing->noise_suppression()->set_level(webrtc::NoiseSuppression::kHigh), "set the suppression level");
    check(m_processing->noise_suppression()->Enable(true), "enable noise suppression");
    check(m_processing->gain_control()->set_mode(webrtc::GainControl::kAdaptiveDigital), "set the gain mode");
    check(m_processing->gain_control()->set_target_level_dbfs(3), "set the gain target");
    check(m_processing->gain_control()->Enable(true), "enable gain control");
}

NoiseReducer::~NoiseReducer() = default;

void NoiseReducer::process(std::span<const float> samples, std::vector<float>& output)
{
    output.clear();
    const webrtc::StreamConfig stream(m_sampleRate, 1, false);
    while (!samples.empty()) {
        const std::size_t taken = std::min(samples.size(), m_frame.size() - m_filled);
        std::copy_n(samples.begin(), taken, m_frame.begin() + std::ptrdiff_t(m_filled));
        m_filled += taken;
        samples = samples.subspan(taken);
        if (m_filled < m_frame.size())
            break;
        float* channel = m_frame.data();
        // A frame the processor refuses is kept as it came rather than lost.
        m_processing->ProcessStream(&channel, stream, stream, &channel);
        output.insert(output.end(), m_frame.begin(), m_frame.end());
        m_filled = 0;
    }
}

void NoiseReducer::reset()
{
    m_filled = 0;
    m_processing->Initialize();
}

} // namespace kavo
