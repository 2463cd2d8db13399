#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kavo {

/// Turns recordings uploaded from a phone (WAV, M4A/AAC, raw ADTS AAC, MP3 or CAF) into recording-format WAV
/// files: 16000 Hz, one channel, 16-bit little-endian PCM. Blocking; callers run it off the main thread.
class PhoneAudio
{
public:
    /// Decoded audio goes through the resampler and into the file this many frames at a time.
    static constexpr int blockFrames = 8192;

    /// Writes the upload to a temporary file named after its content type and converts it into a new temporary
    /// WAV file, which the caller owns and deletes. None when the audio cannot be read; the failure is logged with
    /// the content type. The temporary input file never survives the call, nor does a failed output file.
    static std::optional<QString> convertToWav(const QByteArray& data, const QString& contentType);

    /// The name extension ("wav", "aac", "caf", "mp3" or "m4a") under which an upload of `contentType` is stored,
    /// so that the decoder can tell the container from the name as well as from the content.
    static QString fileExtension(const QString& contentType);

    /// Decodes the first audio stream of `input` and writes it to `output` in the recording format, streaming
    /// block by block so that memory does not grow with the length of the audio. A readable file without audio
    /// frames gives a WAV file without samples. Throws `AudioCodecError`; `output` may then be left incomplete.
    static void convert(const QString& input, const QString& output);
};

} // namespace kavo
