#include "upload.h"

#include "audio/audio_error.h"

#include <QFile>

namespace kavo {

Upload Upload::of(const QString& wav, const std::function<QString(const QString&)>& encode,
    const std::function<void(const QString&)>& log)
{
    QString encoded;
    try {
        encoded = encode(wav);
    } catch (const std::exception& error) {
        log(QStringLiteral("AAC failed (%1); sending WAV").arg(audioErrorText(error)));
        return { wav, Format::wav };
    }

    // An unreadable file counts as empty.
    QFile file(encoded);
    qint64 size = 0;
    QByteArray head;
    if (file.open(QIODevice::ReadOnly)) {
        size = file.size();
        head = file.read(8);
    }
    file.close();
    if (head.size() == 8 && head.sliced(4) == "ftyp")
        return { encoded, Format::m4a };

    log(QStringLiteral("AAC output is not an M4A (%1 bytes); sending WAV").arg(size));
    QFile::remove(encoded);
    return { wav, Format::wav };
}

} // namespace kavo
