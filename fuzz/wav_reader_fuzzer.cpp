// The WAV reader over any file: it either throws its own error or gives equal-length channels that, written back
// in the same format, read back bit for bit the same.
#include "fuzz_support.h"

#include "audio/codec/wav_reader.h"

#include <QDir>
#include <QFile>

#include <cstring>

using namespace kavo;

namespace {

bool sameSamples(const WavAudio& a, const WavAudio& b)
{
    if (a.format != b.format || a.channels.size() != b.channels.size())
        return false;
    for (std::size_t channel = 0; channel < a.channels.size(); ++channel) {
        const std::vector<float>& x = a.channels[channel];
        const std::vector<float>& y = b.channels[channel];
        if (x.size() != y.size() || (!x.empty() && std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) != 0))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QString inputPath = QDir::temp().filePath(QStringLiteral("input.wav"));
    static const QString copyPath = QDir::temp().filePath(QStringLiteral("copy.wav"));
    QFile file(inputPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(fuzz::bytes(data, size)) != qint64(size))
        fuzz::fail("the input could not be stored", __FILE__, __LINE__);
    file.close();

    WavAudio audio;
    try {
        audio = readWav(inputPath);
    } catch (const WavError&) {
        return 0;
    }
    for (const std::vector<float>& channel : audio.channels)
        KAVO_FUZZ_CHECK(qsizetype(channel.size()) == audio.frameCount());
    KAVO_FUZZ_CHECK(qsizetype(audio.channels.size()) == audio.format.channelCount);

    writeWav(copyPath, audio.format, audio.channels);
    KAVO_FUZZ_CHECK(sameSamples(readWav(copyPath), audio));
    return 0;
}
