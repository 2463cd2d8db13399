#include "streaming_preparation.h"

#include "audio/audio_error.h"
#include "audio/codec/wav_writer.h"
#include "store/log.h"

#include <QElapsedTimer>
#include <QFile>

#include <utility>

namespace kavo {

StreamingPreparation::StreamingPreparation(QString m4aPath, std::optional<double> keepSeconds, AACEncoder::Coder coder)
    : m_path(std::move(m4aPath))
{
    try {
        m_stream = std::make_unique<M4aStream>(m_path, WavWriter::sampleRate, 1, coder);
    } catch (const AudioError& error) {
        fail(error.message());
        return;
    }
    if (keepSeconds) {
        m_trimmer = std::make_unique<StreamingTrimmer>(
            WavWriter::sampleRate, 1, *keepSeconds, [this](const StreamingTrimmer::Frames& kept) { encode(kept); });
    }
}

StreamingPreparation::~StreamingPreparation()
{
    if (!m_handedOver) {
        m_stream.reset();
        QFile::remove(m_path);
    }
}

void StreamingPreparation::push(const qint16* samples, qsizetype frames)
{
    const std::lock_guard lock(m_lock);
    if (!samples) {
        fail(QStringLiteral("the recording started over"));
        return;
    }
    m_in += frames;
    if (m_failed)
        return;
    // The samples as reading the recording back yields them, so that both ways see the same audio.
    StreamingTrimmer::Frames audio(1, std::vector<float>(size_t(frames)));
    for (qsizetype frame = 0; frame < frames; ++frame)
        audio.front()[size_t(frame)] = float(samples[frame]) / 32768.0f;
    if (m_trimmer)
        m_trimmer->push(audio);
    else
        encode(audio);
}

std::optional<QString> StreamingPreparation::finish(qsizetype recordedFrames)
{
    const std::lock_guard lock(m_lock);
    if (!m_failed && m_in != recordedFrames)
        fail(QStringLiteral("it saw %1 frames of the %2 recorded").arg(m_in).arg(recordedFrames));
    if (m_failed)
        return std::nullopt;
    QElapsedTimer elapsed;
    elapsed.start();
    if (m_trimmer) {
        m_trimmer->finish();
        // Without a kept frame there is nothing to send but the recording itself.
        if (m_trimmer->framesKept() < 1)
            fail(QStringLiteral("nothing was kept"));
    }
    if (m_failed)
        return std::nullopt;
    try {
        m_stream->finish();
    } catch (const AudioError& error) {
        fail(error.message());
        return std::nullopt;
    }
    m_stream.reset();
    if (m_trimmer && m_trimmer->framesKept() < m_in) {
        Log::write(QStringLiteral("trimmed silence in %1ms, %2% shorter")
                       .arg(elapsed.elapsed())
                       .arg(100 - m_trimmer->framesKept() * 100 / m_in));
    }
    m_handedOver = true;
    return m_path;
}

void StreamingPreparation::encode(const StreamingTrimmer::Frames& frames)
{
    if (m_failed)
        return;
    try {
        m_stream->write(frames);
    } catch (const AudioError& error) {
        fail(error.message());
    }
}

void StreamingPreparation::fail(const QString& reason)
{
    if (std::exchange(m_failed, true))
        return;
    Log::write(QStringLiteral("the upload could not be prepared while recording, preparing it afterwards: ") + reason);
    m_stream.reset();
    QFile::remove(m_path);
}

} // namespace kavo
