#include "aac_encoder.h"

#include "audio/codec/ffmpeg_support.h"
#include "audio/codec/wav_reader.h"

#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>

namespace kavo {

namespace {

QString siblingM4a(const QString& wavPath)
{
    const QFileInfo wav(wavPath);
    return wav.path() + QLatin1Char('/') + wav.completeBaseName() + QStringLiteral(".m4a");
}

} // namespace

/// One encoding run: the AAC encoder feeding the "ipod" muxer, whose brand makes the file an M4A. Samples gather in
/// one encoder frame until it is full, since only the last frame may be shorter.
class M4aStream::Encoder
{
public:
    Encoder(const QString& path, const WavFormat& format, AACEncoder::Coder coder)
    {
        const QByteArray fileName = path.toUtf8();
        AVFormatContext* container = nullptr;
        checkAv(avformat_alloc_output_context2(&container, nullptr, "ipod", fileName.constData()),
            QStringLiteral("could not set up the M4A output"));
        m_container.reset(container);

        const AVCodec* codec = avcodec_find_encoder_by_name("aac");
        if (!codec)
            throw AudioCodecError(QStringLiteral("FFmpeg has no AAC encoder"));
        m_encoder.reset(avcodec_alloc_context3(codec));
        if (!m_encoder)
            throw AudioCodecError(QStringLiteral("could not allocate the AAC encoder"), AVERROR(ENOMEM));
        m_encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
        m_encoder->sample_rate = format.sampleRate;
        av_channel_layout_default(&m_encoder->ch_layout, format.channelCount);
        m_encoder->bit_rate = AACEncoder::bitRate;
        m_encoder->profile = FF_PROFILE_AAC_LOW;
        m_encoder->time_base = { 1, format.sampleRate };
        if (m_container->oformat->flags & AVFMT_GLOBALHEADER)
            m_encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        checkAv(av_opt_set(m_encoder->priv_data, "aac_coder", coder == AACEncoder::Coder::fast ? "fast" : "twoloop", 0),
            QStringLiteral("could not choose the AAC coder"));
        checkAv(avcodec_open2(m_encoder.get(), codec, nullptr),
            QStringLiteral("could not open the AAC encoder for %1 Hz, %2 channels")
                .arg(format.sampleRate)
                .arg(format.channelCount));

        m_stream = avformat_new_stream(m_container.get(), nullptr);
        if (!m_stream)
            throw AudioCodecError(QStringLiteral("could not add the audio track"), AVERROR(ENOMEM));
        checkAv(avcodec_parameters_from_context(m_stream->codecpar, m_encoder.get()),
            QStringLiteral("could not describe the audio track"));
        m_stream->time_base = m_encoder->time_base;

        checkAv(avio_open(&m_container->pb, fileName.constData(), AVIO_FLAG_WRITE),
            QStringLiteral("could not create the M4A file"));
        checkAv(avformat_write_header(m_container.get(), nullptr), QStringLiteral("could not write the M4A header"));

        m_frame.reset(av_frame_alloc());
        m_packet.reset(av_packet_alloc());
        if (!m_frame || !m_packet)
            throw AudioCodecError(QStringLiteral("could not allocate the encoding buffers"), AVERROR(ENOMEM));
        m_frame->format = AV_SAMPLE_FMT_FLTP;
        m_frame->sample_rate = format.sampleRate;
        m_frame->nb_samples = m_encoder->frame_size;
        checkAv(av_channel_layout_copy(&m_frame->ch_layout, &m_encoder->ch_layout),
            QStringLiteral("could not set up the encoding buffers"));
        checkAv(av_frame_get_buffer(m_frame.get(), 0), QStringLiteral("could not allocate the encoding buffers"));
    }

    void write(const std::vector<std::vector<float>>& channels)
    {
        const qsizetype frames = channels.empty() ? 0 : qsizetype(channels.front().size());
        const qsizetype frameSize = m_encoder->frame_size;
        for (qsizetype offset = 0; offset < frames;) {
            if (m_filled == 0) {
                // The encoder may still hold the previous frame's buffers.
                checkAv(av_frame_make_writable(m_frame.get()), QStringLiteral("could not reuse the encoding buffers"));
            }
            const qsizetype count = std::min(frameSize - m_filled, frames - offset);
            for (size_t channel = 0; channel < channels.size(); ++channel) {
                std::memcpy(reinterpret_cast<float*>(m_frame->extended_data[channel]) + m_filled,
                    channels[channel].data() + offset, size_t(count) * sizeof(float));
            }
            m_filled += count;
            offset += count;
            if (m_filled == frameSize)
                sendFrame();
        }
    }

    void finish()
    {
        if (m_filled > 0)
            sendFrame();
        checkAv(avcodec_send_frame(m_encoder.get(), nullptr), QStringLiteral("could not finish encoding"));
        writePackets();
        checkAv(av_write_trailer(m_container.get()), QStringLiteral("could not finish the M4A file"));
        // Closing flushes the last buffered bytes, so a full disk may only show here.
        checkAv(avio_closep(&m_container->pb), QStringLiteral("could not finish the M4A file"));
    }

private:
    void sendFrame()
    {
        m_frame->nb_samples = int(m_filled);
        m_frame->pts = m_sent;
        checkAv(avcodec_send_frame(m_encoder.get(), m_frame.get()), QStringLiteral("could not encode the audio"));
        m_sent += m_filled;
        m_filled = 0;
        writePackets();
    }

    void writePackets()
    {
        for (;;) {
            const int received = avcodec_receive_packet(m_encoder.get(), m_packet.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return;
            checkAv(received, QStringLiteral("could not encode the audio"));
            av_packet_rescale_ts(m_packet.get(), m_encoder->time_base, m_stream->time_base);
            m_packet->stream_index = m_stream->index;
            checkAv(av_interleaved_write_frame(m_container.get(), m_packet.get()),
                QStringLiteral("could not write the M4A file"));
        }
    }

    OutputFormatPtr m_container;
    CodecContextPtr m_encoder;
    AVStream* m_stream = nullptr;
    FramePtr m_frame;
    PacketPtr m_packet;
    qsizetype m_filled = 0;
    qint64 m_sent = 0;
};

M4aStream::M4aStream(const QString& path, int sampleRate, int channelCount, AACEncoder::Coder coder)
    : m_encoder(std::make_unique<Encoder>(path, WavFormat { sampleRate, channelCount, SampleFormat::float32 }, coder))
{ }

M4aStream::~M4aStream() = default;

void M4aStream::write(const std::vector<std::vector<float>>& channels)
{
    m_encoder->write(channels);
}

void M4aStream::finish()
{
    m_encoder->finish();
}

QString AACEncoder::m4a(const QString& wavPath, Coder coder)
{
    const QString output = siblingM4a(wavPath);
    QFile::remove(output);
    try {
        const WavAudio audio = readWav(wavPath);
        M4aStream stream(output, audio.format.sampleRate, audio.format.channelCount, coder);
        stream.write(audio.channels);
        stream.finish();
    } catch (...) {
        QFile::remove(output);
        throw;
    }
    return output;
}

} // namespace kavo
