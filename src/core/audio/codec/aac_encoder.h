#pragma once

#include <QString>

#include <memory>
#include <vector>

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

/// An M4A file written as its audio arrives, encoded as `AACEncoder::m4a` encodes a whole WAV: the same audio in any
/// pieces makes the same file. Every call throws `AudioCodecError` when encoding or writing fails; the owner removes
/// the unfinished file.
class M4aStream
{
public:
    M4aStream(const QString& path, int sampleRate, int channelCount, AACEncoder::Coder coder = AACEncoder::Coder::fast);
    ~M4aStream();
    M4aStream(const M4aStream&) = delete;
    M4aStream& operator=(const M4aStream&) = delete;

    /// Float samples, one vector per channel, all of equal length.
    void write(const std::vector<std::vector<float>>& channels);
    /// Encodes what is left and completes the file.
    void finish();

private:
    class Encoder;
    std::unique_ptr<Encoder> m_encoder;
};

} // namespace kavo
