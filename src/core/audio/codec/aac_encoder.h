#pragma once

#include <QString>

namespace kavo {

/// Re-encodes a WAV recording as AAC-LC at 32 kbit/s in an M4A file, the small form in which it is uploaded.
class AACEncoder
{
public:
    /// FFmpeg's AAC quantiser searches. `fast` encodes speech about five times faster than FFmpeg's default
    /// `twoloop` and, at this bit rate, with no lower a signal-to-noise ratio.
    enum class Coder { fast, twoloop };

    static constexpr int bitRate = 32000;

    /// Encodes `wavPath` into the sibling file with the extension "m4a" (a file already there is deleted first)
    /// at the WAV's own sample rate and channel count, and returns that file's path. Blocks until done.
    /// Throws `WavError` when the WAV cannot be read and `AudioCodecError` when encoding or writing fails,
    /// leaving no output file behind.
    static QString m4a(const QString& wavPath, Coder coder = Coder::fast);
};

} // namespace kavo
