#pragma once

#include <QString>

namespace kavo {

/// Turns an audio file (WAV, M4A/AAC, raw ADTS AAC, MP3 or CAF) into a recording-format WAV file: 16000 Hz, one
/// channel, 16-bit little-endian PCM. Blocking; callers run it off the main thread.
class AudioDecoder
{
public:
    /// Decoded audio goes through the resampler and into the file this many frames at a time.
    static constexpr int blockFrames = 8192;

    /// Decodes the first audio stream of `input` and writes it to `output` in the recording format, streaming
    /// block by block so that memory does not grow with the length of the audio. A readable file without audio
    /// frames gives a WAV file without samples. Throws `AudioCodecError`; `output` may then be left incomplete.
    static void toRecording(const QString& input, const QString& output);
};

} // namespace kavo
