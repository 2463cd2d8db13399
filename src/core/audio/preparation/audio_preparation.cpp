#include "audio_preparation.h"

#include "audio/codec/aac_encoder.h"
#include "audio/codec/audio_decoder.h"
#include "audio/codec/ffmpeg_support.h"
#include "audio/preparation/audio_trimmer.h"
#include "audio/recorder.h"
#include "store/log.h"

#include <QFile>
#include <QFileInfo>
#include <QtConcurrent>

#include <QCoroFuture>

namespace kavo {

namespace {

bool isWav(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0;
}

} // namespace

AudioPreparation::AudioPreparation(QString recording, Ownership ownership)
    : m_recording(std::move(recording))
    , m_ownership(ownership)
    , m_wav(m_recording)
    , m_upload { m_recording, isWav(m_recording) ? Upload::Format::wav : Upload::Format::m4a }
{ }

AudioPreparation::~AudioPreparation()
{
    for (const QString& made : { m_upload.path, m_wav }) {
        if (made != m_recording)
            QFile::remove(made);
    }
    if (m_ownership == Ownership::owned)
        QFile::remove(m_recording);
}

QCoro::Task<std::unique_ptr<AudioPreparation>> AudioPreparation::decode(QString file)
{
    const QString recording = Recorder::newFilePath();
    const QFuture<std::optional<QString>> decoding = QtConcurrent::run([file, recording]() -> std::optional<QString> {
        try {
            AudioDecoder::toRecording(file, recording);
            return std::nullopt;
        } catch (const AudioError& error) {
            QFile::remove(recording);
            return error.message();
        }
    });
    if (const std::optional<QString> failure = co_await decoding)
        throw AudioCodecError(*failure);
    co_return std::make_unique<AudioPreparation>(recording, Ownership::owned);
}

QCoro::Task<> AudioPreparation::trimSilence(double keepSeconds)
{
    if (!isWav(m_wav))
        co_return;
    const QString recording = m_wav;
    const QFuture<std::optional<QString>> trimming
        = QtConcurrent::run([recording, keepSeconds] { return AudioTrimmer::trimSilence(recording, keepSeconds); });
    const std::optional<QString> trimmed = co_await trimming;
    if (trimmed)
        m_upload = { m_wav = *trimmed, Upload::Format::wav };
}

QCoro::Task<> AudioPreparation::encode()
{
    const QString wav = m_wav;
    const QFuture<Upload> encoding = QtConcurrent::run([wav] {
        return Upload::of(
            wav, [](const QString& input) { return AACEncoder::m4a(input); }, Log::write);
    });
    m_upload = co_await encoding;
}

} // namespace kavo
