#include "wav_reader.h"

#include "store/json_support.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kavo {

namespace {

constexpr quint16 formatPCM = 1;
constexpr quint16 formatFloat = 3;
constexpr quint16 formatExtensible = 0xFFFE;
// The last 14 bytes of every KSDATAFORMAT_SUBTYPE GUID; its first two bytes are the plain format tag.
constexpr char subformatGuidTail[] = "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";

quint16 u16(const char* bytes)
{
    return qFromLittleEndian<quint16>(bytes);
}
quint32 u32(const char* bytes)
{
    return qFromLittleEndian<quint32>(bytes);
}

WavFormat parseFormatChunk(const char* body, quint32 size)
{
    if (size < 16)
        throw WavError(QStringLiteral("the format chunk is only %1 bytes long").arg(size));
    quint16 tag = u16(body);
    const int channels = u16(body + 2);
    const int rate = int(u32(body + 4));
    const int blockAlign = u16(body + 12);
    const int bits = u16(body + 14);
    if (tag == formatExtensible) {
        if (size < 40 || u16(body + 16) < 22)
            throw WavError(QStringLiteral("the extensible format chunk is too short"));
        const char* guid = body + 24;
        if (std::memcmp(guid + 2, subformatGuidTail, 14) != 0)
            throw WavError(QStringLiteral("unknown extensible WAV subformat"));
        tag = u16(guid);
    }
    WavFormat format { rate, channels, SampleFormat::int16 };
    if (tag == formatPCM && bits == 16)
        format.sampleFormat = SampleFormat::int16;
    else if (tag == formatFloat && bits == 32)
        format.sampleFormat = SampleFormat::float32;
    else
        throw WavError(
            QStringLiteral("unsupported WAV encoding: format %1 with %2 bits per sample").arg(tag).arg(bits));
    if (channels < 1 || rate < 1)
        throw WavError(QStringLiteral("WAV format with %1 channels at %2 Hz").arg(channels).arg(rate));
    if (blockAlign != channels * bytesPerSample(format.sampleFormat))
        throw WavError(QStringLiteral("WAV block align %1 does not match %2 channels of %3 bits")
                           .arg(blockAlign)
                           .arg(channels)
                           .arg(bits));
    return format;
}

std::vector<std::vector<float>> deinterleave(const WavFormat& format, const char* data, qsizetype frames)
{
    std::vector<std::vector<float>> channels(format.channelCount, std::vector<float>(frames));
    const int stride = format.channelCount * bytesPerSample(format.sampleFormat);
    for (int channel = 0; channel < format.channelCount; ++channel) {
        float* out = channels[channel].data();
        const char* in = data + channel * bytesPerSample(format.sampleFormat);
        if (format.sampleFormat == SampleFormat::int16) {
            for (qsizetype frame = 0; frame < frames; ++frame, in += stride)
                out[frame] = float(qFromLittleEndian<qint16>(in)) / 32768.0f;
        } else {
            for (qsizetype frame = 0; frame < frames; ++frame, in += stride)
                out[frame] = qFromLittleEndian<float>(in);
        }
    }
    return channels;
}

} // namespace

WavAudio readWav(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw WavError(file.errorString());
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        throw WavError(QStringLiteral("not a RIFF/WAVE file"));

    std::optional<WavFormat> format;
    const char* const end = bytes.constData() + bytes.size();
    const char* chunk = bytes.constData() + 12;
    while (end - chunk >= 8) {
        const QByteArrayView id(chunk, 4);
        const quint32 declared = u32(chunk + 4);
        const char* body = chunk + 8;
        const quint32 available = quint32(std::min<qint64>(declared, end - body));
        if (id == "fmt ") {
            if (available < declared)
                throw WavError(QStringLiteral("the format chunk is cut short"));
            format = parseFormatChunk(body, declared);
        } else if (id == "data") {
            if (!format)
                throw WavError(QStringLiteral("the WAV data chunk comes before its format chunk"));
            const qsizetype frames = available / (format->channelCount * bytesPerSample(format->sampleFormat));
            return WavAudio { *format, deinterleave(*format, body, frames) };
        }
        // Chunk bodies of odd length are followed by one pad byte.
        chunk = body + std::min<qint64>(qint64(declared) + (declared & 1), end - body);
    }
    throw WavError(
        format ? QStringLiteral("the WAV file has no data chunk") : QStringLiteral("the WAV file has no format chunk"));
}

QByteArray wavHeader(const WavFormat& format, quint32 dataBytes)
{
    const int sampleBytes = bytesPerSample(format.sampleFormat);
    const quint16 blockAlign = quint16(format.channelCount * sampleBytes);
    QByteArray header(44, Qt::Uninitialized);
    char* out = header.data();
    std::memcpy(out, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataBytes, out + 4);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, out + 16);
    qToLittleEndian<quint16>(format.sampleFormat == SampleFormat::float32 ? formatFloat : formatPCM, out + 20);
    qToLittleEndian<quint16>(quint16(format.channelCount), out + 22);
    qToLittleEndian<quint32>(quint32(format.sampleRate), out + 24);
    qToLittleEndian<quint32>(quint32(format.sampleRate) * blockAlign, out + 28);
    qToLittleEndian<quint16>(blockAlign, out + 32);
    qToLittleEndian<quint16>(quint16(8 * sampleBytes), out + 34);
    std::memcpy(out + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, out + 40);
    return header;
}

void writeWav(const QString& path, const WavFormat& format, const std::vector<std::vector<float>>& channels)
{
    Q_ASSERT(int(channels.size()) == format.channelCount);
    const qsizetype frames = channels.empty() ? 0 : qsizetype(channels.front().size());
    const int sampleBytes = bytesPerSample(format.sampleFormat);
    const qint64 dataBytes = qint64(frames) * format.channelCount * sampleBytes;
    if (dataBytes > 0xFFFFFFFFLL - 36)
        throw WavError(QStringLiteral("the audio is too long for a WAV file"));

    QByteArray bytes = wavHeader(format, quint32(dataBytes));
    bytes.resize(44 + dataBytes);
    char* out = bytes.data() + 44;
    for (qsizetype frame = 0; frame < frames; ++frame) {
        for (const std::vector<float>& channel : channels) {
            if (format.sampleFormat == SampleFormat::int16) {
                const float scaled = std::clamp(std::nearbyint(channel[frame] * 32768.0f), -32768.0f, 32767.0f);
                qToLittleEndian<qint16>(qint16(scaled), out);
            } else {
                qToLittleEndian<float>(channel[frame], out);
            }
            out += sampleBytes;
        }
    }
    if (const auto error = writeFileAtomically(path, bytes))
        throw WavError(*error);
}

} // namespace kavo
