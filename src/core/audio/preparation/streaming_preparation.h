#pragma once

#include "audio/codec/aac_encoder.h"
#include "audio/preparation/streaming_trimmer.h"

#include <QString>

#include <memory>
#include <mutex>
#include <optional>

namespace kavo {

/// The upload made while the user speaks: the recording's samples, as the recorder writes them, go through the
/// streaming trimmer (when pauses are shortened) straight into an M4A stream, so that at the end only the tail is
/// encoded and the file completed. The result is the M4A that shortening and encoding the finished recording would
/// make. Any failure makes it give up with one log line and no file left behind; the recording is then prepared
/// after it ends, as a whole.
class StreamingPreparation
{
public:
    /// Writes to `m4aPath`; `keepSeconds` is the margin of shortened pauses, or nothing to send every frame.
    StreamingPreparation(
        QString m4aPath, std::optional<double> keepSeconds, AACEncoder::Coder coder = AACEncoder::Coder::fast);
    /// Removes the file unless `finish()` handed it over.
    ~StreamingPreparation();
    StreamingPreparation(const StreamingPreparation&) = delete;
    StreamingPreparation& operator=(const StreamingPreparation&) = delete;

    /// The next samples of the recording, 16-bit mono at the recording rate; null when the recording started over,
    /// which voids the preparation. Any thread, one call at a time.
    void push(const qint16* samples, qsizetype frames);
    /// Encodes the tail and completes the file, when the samples pushed are the recording's `recordedFrames`; then
    /// the file is the caller's. Nothing when the preparation failed or saw other samples than the recording holds.
    std::optional<QString> finish(qsizetype recordedFrames);

private:
    void encode(const StreamingTrimmer::Frames& frames);
    void fail(const QString& reason);

    std::mutex m_lock;
    QString m_path;
    std::unique_ptr<M4aStream> m_stream;
    std::unique_ptr<StreamingTrimmer> m_trimmer;
    qsizetype m_in = 0;
    bool m_failed = false;
    bool m_handedOver = false;
};

} // namespace kavo
