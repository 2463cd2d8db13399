#include "phone_audio.h"

#include "audio/codec/audio_decoder.h"
#include "audio/codec/ffmpeg_support.h"
#include "store/json_support.h"
#include "store/log.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QUuid>

namespace kavo {

namespace {

QString temporaryPath(const QString& extension)
{
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("kavo-phone-") + json::uuidText(QUuid::createUuid()) + '.' + extension);
}

void writeUpload(const QString& path, const QByteArray& data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(data) != data.size() || !file.flush())
        throw AudioCodecError(QStringLiteral("could not store the upload: ") + file.errorString());
}

} // namespace

std::optional<QString> PhoneAudio::convertToWav(const QByteArray& data, const QString& contentType)
{
    const QString input = temporaryPath(fileExtension(contentType));
    const QString output = temporaryPath(QStringLiteral("wav"));
    const auto removeInput = qScopeGuard([&] { QFile::remove(input); });
    try {
        writeUpload(input, data);
        AudioDecoder::toRecording(input, output);
        return output;
    } catch (const AudioCodecError& error) {
        Log::write(
            QStringLiteral("could not read the phone audio (") + contentType + QStringLiteral("): ") + error.message());
        QFile::remove(output);
        return std::nullopt;
    }
}

QString PhoneAudio::fileExtension(const QString& contentType)
{
    static const std::pair<const char*, const char*> extensions[] = {
        { "wav", "wav" },
        { "aac", "aac" },
        { "caf", "caf" },
        { "mpeg", "mp3" },
        { "mp3", "mp3" },
    };
    const QString type = contentType.toLower();
    for (const auto& [part, extension] : extensions) {
        if (type.contains(QLatin1String(part)))
            return QString::fromLatin1(extension);
    }
    return QStringLiteral("m4a");
}

} // namespace kavo
