#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kavo {

/// Turns recordings uploaded from a phone (WAV, M4A/AAC, raw ADTS AAC, MP3 or CAF) into recording-format WAV
/// files. Blocking; callers run it off the main thread.
class PhoneAudio
{
public:
    /// Writes the upload to a temporary file named after its content type and converts it into a new temporary
    /// WAV file, which the caller owns and deletes. None when the audio cannot be read; the failure is logged with
    /// the content type. The temporary input file never survives the call, nor does a failed output file.
    static std::optional<QString> convertToWav(const QByteArray& data, const QString& contentType);

    /// The name extension ("wav", "aac", "caf", "mp3" or "m4a") under which an upload of `contentType` is stored,
    /// so that the decoder can tell the container from the name as well as from the content.
    static QString fileExtension(const QString& contentType);
};

} // namespace kavo
