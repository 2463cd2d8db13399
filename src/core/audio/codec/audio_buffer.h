#pragma once

#include <QString>
#include <QtGlobal>

namespace kavo {

enum class SampleFormat { float32, int16 };

inline int bytesPerSample(SampleFormat format)
{
    return format == SampleFormat::float32 ? 4 : 2;
}

/// The shape of captured audio; two buffers in equal formats can share one converter.
struct AudioFormat
{
    int sampleRate = 0;
    int channelCount = 0;
    SampleFormat sampleFormat = SampleFormat::float32;
    /// Interleaved: one plane holding frame after frame; otherwise one plane per channel.
    bool interleaved = true;

    friend bool operator==(const AudioFormat&, const AudioFormat&) = default;

    /// For log lines, e.g. "48000 Hz, 2 channels, 32-bit float, planar".
    QString description() const
    {
        return QStringLiteral("%1 Hz, %2 channel%3, %4, %5")
            .arg(sampleRate)
            .arg(channelCount)
            .arg(channelCount == 1 ? "" : "s")
            .arg(sampleFormat == SampleFormat::float32 ? "32-bit float" : "16-bit integer")
            .arg(interleaved ? "interleaved" : "planar");
    }
};

/// A non-owning view of one captured buffer, as the audio thread hands it over: no copy and no allocation.
/// The memory behind `planes` must stay valid for the duration of the call it is passed to.
struct AudioBuffer
{
    AudioFormat format;
    qsizetype frameCount = 0;
    /// One pointer for interleaved audio, `format.channelCount` pointers for planar audio.
    const void* const* planes = nullptr;
};

} // namespace kavo
