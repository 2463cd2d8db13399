#include "wav_writer.h"

#include "audio/codec/wav_reader.h"
#include "store/log.h"

#include <QtEndian>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

namespace kavo {

namespace {

constexpr WavFormat recordingFormat { WavWriter::sampleRate, 1, SampleFormat::int16 };

AVSampleFormat avSampleFormat(const AudioFormat& format)
{
    if (format.sampleFormat == SampleFormat::float32)
        return format.interleaved ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_FLTP;
    return format.interleaved ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_S16P;
}

SwrContextPtr makeConverter(const AudioFormat& format)
{
    if (format.channelCount < 1 || format.sampleRate < 1)
        return {};
    AVChannelLayout inputLayout;
    av_channel_layout_default(&inputLayout, format.channelCount);
    AVChannelLayout outputLayout = AV_CHANNEL_LAYOUT_MONO;
    SwrContext* raw = nullptr;
    const int allocated = swr_alloc_set_opts2(&raw, &outputLayout, AV_SAMPLE_FMT_S16, WavWriter::sampleRate,
        &inputLayout, avSampleFormat(format), format.sampleRate, 0, nullptr);
    av_channel_layout_uninit(&inputLayout);
    SwrContextPtr converter(raw);
    if (allocated < 0)
        return {};
    // Channel 0 at full level, the others dropped: a down-mix would halve a one-sided microphone.
    std::vector<double> matrix(format.channelCount, 0.0);
    matrix[0] = 1.0;
    if (swr_set_matrix(converter.get(), matrix.data(), format.channelCount) < 0 || swr_init(converter.get()) < 0)
        return {};
    return converter;
}

} // namespace

WavWriter::WavWriter(const QString& path, Listener listener)
    : m_file(std::make_unique<QFile>(path))
    , m_output(outputCapacity)
    , m_listener(std::move(listener))
{
    // Unbuffered, so that a write error shows at the write that caused it.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw WavError(m_file->errorString());
    const QByteArray header = wavHeader(recordingFormat, 0);
    if (m_file->write(header) != header.size())
        throw WavError(m_file->errorString());
}

WavWriter::~WavWriter()
{
    finish();
}

void WavWriter::append(const AudioBuffer& buffer)
{
    const std::lock_guard guard(m_lock);
    if (!m_file || m_failed || buffer.frameCount <= 0)
        return;
    if ((!m_converter || m_converterFormat != buffer.format) && !startConverter(buffer.format))
        return;

    const AudioFormat& format = buffer.format;
    const qsizetype frameBytes = bytesPerSample(format.sampleFormat) * (format.interleaved ? format.channelCount : 1);
    // A quarter second of input at a time converts to at most 4000 frames plus the filter's tail, which fits
    // the output buffer, so the converter never has to hold input back in memory of its own.
    const qsizetype slice = std::max(format.sampleRate / 4, 1);
    for (qsizetype offset = 0; offset < buffer.frameCount; offset += slice) {
        for (size_t plane = 0; plane < m_inputPlanes.size(); ++plane)
            m_inputPlanes[plane] = static_cast<const quint8*>(buffer.planes[plane]) + offset * frameBytes;
        if (!convert(m_inputPlanes.data(), int(std::min(slice, buffer.frameCount - offset))))
            return;
    }
}

qint64 WavWriter::finish()
{
    const std::lock_guard guard(m_lock);
    if (m_file && m_converter && !m_failed)
        convert(nullptr, 0);
    if (m_file) {
        completeHeader();
        m_file.reset();
    }
    m_converter.reset();
    return m_frames;
}

bool WavWriter::startConverter(const AudioFormat& format)
{
    // The old converter still holds the end of the previous device's audio.
    if (m_converter && !convert(nullptr, 0))
        return false;
    m_converter = makeConverter(format);
    if (!m_converter) {
        fail(QStringLiteral("cannot convert ") + format.description() + QStringLiteral(" to 16 kHz"));
        return false;
    }
    m_converterFormat = format;
    m_inputPlanes.resize(format.interleaved ? 1 : format.channelCount);
    return true;
}

bool WavWriter::convert(const quint8* const* input, int frames)
{
    quint8* output = reinterpret_cast<quint8*>(m_output.data());
    int converted = swr_convert(m_converter.get(), &output, outputCapacity, const_cast<const quint8**>(input), frames);
    while (true) {
        if (converted < 0) {
            fail(QStringLiteral("could not convert the recording: ") + avErrorText(converted));
            return false;
        }
        if (converted == 0)
            return true;
        if (!writeOutput(converted))
            return false;
        if (converted < outputCapacity)
            return true;
        // A full output buffer: the converter may hold more; collect it without new input.
        converted = swr_convert(m_converter.get(), &output, outputCapacity, const_cast<const quint8**>(input), 0);
    }
}

bool WavWriter::writeOutput(int frames)
{
    if (m_listener && frames > 0)
        m_listener(m_output.data(), frames);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian)
        qToLittleEndian<qint16>(m_output.data(), frames, m_output.data());
    // A short write (a full disk, a file size limit) is retried, so that the error behind it is reported.
    const char* data = reinterpret_cast<const char*>(m_output.data());
    for (qint64 remaining = qint64(frames) * 2; remaining > 0;) {
        const qint64 written = m_file->write(data, remaining);
        if (written <= 0) {
            fail(QStringLiteral("could not write the recording: ") + m_file->errorString());
            return false;
        }
        data += written;
        remaining -= written;
    }
    m_frames += frames;
    return true;
}

void WavWriter::completeHeader()
{
    // The sizes cover what was written, also after a failure, so the file stays readable.
    const quint32 dataBytes = quint32(m_frames * 2);
    const QByteArray header = wavHeader(recordingFormat, dataBytes);
    const bool written = m_file->seek(0) && m_file->write(header) == header.size();
    if (!written && !m_failed)
        fail(QStringLiteral("could not write the recording: ") + m_file->errorString());
}

void WavWriter::fail(const QString& logLine)
{
    m_failed = true;
    Log::write(logLine);
}

} // namespace kavo
