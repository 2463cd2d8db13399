#pragma once

#include "audio/codec/audio_buffer.h"
#include "audio/codec/ffmpeg_support.h"

#include <QFile>

#include <functional>

#include <memory>
#include <mutex>
#include <vector>

namespace kavo {

/// Writes captured buffers of any rate, channel count and sample layout into one recording file: 16000 Hz mono
/// 16-bit PCM WAV with a 44-byte header. Input channel 0 alone becomes the recording; further channels are dropped.
///
/// `append` runs on the audio thread and `finish` on another, so every call takes the one lock. After the first
/// conversion or write error the writer logs one line and writes nothing more; callers learn of it only through
/// the frame count that `finish` returns.
class WavWriter
{
public:
    static constexpr int sampleRate = 16000;
    /// Converted audio goes through one scratch buffer of this many frames (0.5 s).
    static constexpr int outputCapacity = 8000;

    /// Told every run of samples written, in the calling thread, under the writer's lock.
    using Listener = std::function<void(const qint16* samples, int frames)>;

    /// Creates the file and writes the header of an empty recording. Throws `WavError` when it cannot.
    explicit WavWriter(const QString& path, Listener listener = {});
    /// Finishes the file if `finish` was not called.
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    /// Converts and writes one buffer. Allocates only when the buffer's format differs from the previous one.
    void append(const AudioBuffer& buffer);
    /// Drains the converter, completes the header's sizes, closes the file and returns the frames written.
    /// Later appends do nothing.
    qint64 finish();

private:
    bool startConverter(const AudioFormat& format);
    /// Feeds `frames` input frames (none and a null `input` to drain) and writes all output it yields.
    bool convert(const quint8* const* input, int frames);
    bool writeOutput(int frames);
    void completeHeader();
    void fail(const QString& logLine);

    std::mutex m_lock;
    std::unique_ptr<QFile> m_file;
    SwrContextPtr m_converter;
    AudioFormat m_converterFormat;
    std::vector<const quint8*> m_inputPlanes;
    std::vector<qint16> m_output;
    Listener m_listener;
    qint64 m_frames = 0;
    bool m_failed = false;
};

} // namespace kavo
