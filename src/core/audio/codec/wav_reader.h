#pragma once

#include "audio/audio_error.h"
#include "audio/codec/audio_buffer.h"

#include <QString>

#include <vector>

namespace kavo {

/// A WAV file that could not be read or written; `message()` says why.
class WavError : public AudioError
{
public:
    using AudioError::AudioError;
};

/// The sample layout of a WAV file's "data" chunk.
struct WavFormat
{
    int sampleRate = 0;
    int channelCount = 0;
    SampleFormat sampleFormat = SampleFormat::int16;

    friend bool operator==(const WavFormat&, const WavFormat&) = default;
};

/// A whole WAV file in memory: float samples in [-1, 1), one vector per channel, all of equal length.
struct WavAudio
{
    WavFormat format;
    std::vector<std::vector<float>> channels;

    qsizetype frameCount() const { return channels.empty() ? 0 : qsizetype(channels.front().size()); }
};

/// Reads a RIFF/WAVE file of 16-bit PCM or 32-bit float samples (plain or WAVE_FORMAT_EXTENSIBLE), walking the
/// chunk list so that further chunks before or after "data" are skipped. A "data" chunk that claims more bytes
/// than the file holds is read as far as it goes. Throws `WavError` for anything else.
WavAudio readWav(const QString& path);

/// Writes `channels` (equal lengths, one per channel of `format`) as a canonical 44-byte-header WAV file in
/// `format`, replacing any file at `path` atomically. Float samples are clipped to the 16-bit range when
/// `format` is 16-bit. Throws `WavError` when the file cannot be written.
void writeWav(const QString& path, const WavFormat& format, const std::vector<std::vector<float>>& channels);

/// The 44-byte RIFF/WAVE header of a file whose "data" chunk holds `dataBytes` bytes.
QByteArray wavHeader(const WavFormat& format, quint32 dataBytes);

} // namespace kavo
