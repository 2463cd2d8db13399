#pragma once

#include <QList>
#include <QtGlobal>

#include <functional>
#include <span>

class QObject;

namespace kavo {

/// Stateless audio-input helpers shared by the recorder and the microphone test: tap sizing, window levels,
/// their spaced delivery to the main thread and the display value of a level.
namespace MicEngine {

/// Interleaved float samples of one captured buffer, as an input stream hands them over.
struct Buffer
{
    std::span<const float> samples;
    int channelCount = 1;
    double sampleRate = 0;

    /// Whole frames in `samples`; a trailing partial frame does not count.
    qsizetype frameLength() const;
};

/// Level that stands for digital silence, where the logarithm has no value.
inline constexpr float silenceDecibels = -160;
/// Levels at or below this show as an empty meter; 0 dB (full scale) shows as a full one.
inline constexpr double displayFloorDecibels = -50;

/// Frames in 100 ms of audio at `sampleRate`, truncated, at least 1: the size of one tap buffer.
quint32 tapFrames(double sampleRate);

/// RMS levels in dB full scale of channel 0 over consecutive windows of about `seconds` each, in order.
/// Empty for a buffer without frames, channels or sample rate.
QList<float> windowDecibels(const Buffer& buffer, double seconds);

/// Hands `levels` to `delivery` one by one on the thread of `context` (the main thread's objects), level i
/// about i * (buffer duration / count) after this call, so the levels of one buffer play out over the
/// buffer's own duration. May be called from any thread, including an audio thread Qt did not start, as
/// long as `context` is alive during the call; nothing is delivered once `context` is destroyed.
void deliverSpaced(
    const QList<float>& levels, const Buffer& buffer, QObject* context, std::function<void(float)> delivery);

/// The 0..1 value a meter shows for a level: (dB + 50) / 50, clamped.
double displayValue(double decibels);

} // namespace MicEngine

} // namespace kavo
