// The conversion of phone uploads over any bytes, under each content type a phone may name: FFmpeg either refuses
// the bytes, and no file is left behind, or the result is a recording-format WAV file.
#include "fuzz_support.h"

#include "audio/codec/wav_reader.h"
#include "audio/codec/wav_writer.h"
#include "phone/phone_audio.h"

#include <QDir>
#include <QFile>

#include <array>

using namespace kavo;

namespace {

const std::array contentTypes { QStringLiteral("audio/mp4"), QStringLiteral("audio/wav"), QStringLiteral("audio/aac"),
    QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-caf") };

} // namespace

// The first byte picks the content type; the rest is the upload.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString& contentType = contentTypes[data[0] % contentTypes.size()];
    const std::optional<QString> converted = PhoneAudio::convertToWav(fuzz::bytes(data + 1, size - 1), contentType);
    if (converted) {
        const WavAudio audio = readWav(*converted);
        KAVO_FUZZ_CHECK(audio.format.sampleRate == WavWriter::sampleRate && audio.format.channelCount == 1);
        QFile::remove(*converted);
    }
    KAVO_FUZZ_CHECK(QDir::temp().isEmpty());
    return 0;
}
