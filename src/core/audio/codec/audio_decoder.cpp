#include "audio_decoder.h"

#include "audio/codec/ffmpeg_support.h"
#include "audio/codec/wav_reader.h"

#include <QFile>
#include <QScopeGuard>
#include <QtEndian>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <vector>

namespace kavo {

namespace {

constexpr int recordingRate = 16000;
constexpr WavFormat recordingFormat { recordingRate, 1, SampleFormat::int16 };

/// The first audio stream of a file, decoded frame by frame. Frames beyond the length the container declares are
/// cut: AAC encoders pad the last packet, and only the container knows where the audio really ends. (The encoder's
/// priming at the start is skipped by libavcodec, from the skip-samples side data the demuxer attaches.)
class AudioFileDecoder
{
public:
    explicit AudioFileDecoder(const QString& path)
        : m_packet(av_packet_alloc())
        , m_frame(av_frame_alloc())
    {
        if (!m_packet || !m_frame)
            throw AudioCodecError(QStringLiteral("out of memory"));
        open(path);
        const AVCodec* codec = nullptr;
        const int index = checkAv(av_find_best_stream(m_input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0),
            QStringLiteral("could not find the audio"));
        m_stream = m_input->streams[index];
        for (unsigned other = 0; other < m_input->nb_streams; ++other) {
            if (m_input->streams[other] != m_stream)
                m_input->streams[other]->discard = AVDISCARD_ALL;
        }
        const AVCodecParameters& parameters = *m_stream->codecpar;
        if (parameters.sample_rate < 1 || parameters.ch_layout.nb_channels < 1)
            throw AudioCodecError(QStringLiteral("the file holds no readable audio"));
        openCodec(codec);
        // A length estimated from the bit rate (raw AAC, for one) is too rough to cut anything by.
        if (m_input->duration_estimation_method == AVFMT_DURATION_FROM_STREAM && m_stream->duration > 0)
            m_declaredDuration = m_stream->duration;
    }

    /// The next decoded frame, or null after the last one. The frame is valid until the next call.
    const AVFrame* nextFrame()
    {
        while (!m_ended) {
            const int received = avcodec_receive_frame(m_codec.get(), m_frame.get());
            if (received == AVERROR_EOF)
                break;
            if (received == AVERROR(EAGAIN)) {
                sendNextPacket();
                continue;
            }
            checkAv(received, QStringLiteral("could not decode the audio"));
            cutToDeclaredLength(*m_frame);
            if (m_frame->nb_samples > 0)
                return m_frame.get();
        }
        m_ended = true;
        return nullptr;
    }

private:
    void open(const QString& path)
    {
        AVDictionary* options = nullptr;
        const auto freeOptions = qScopeGuard([&] { av_dict_free(&options); });
        // Only the containers phones send, and only local files: other demuxers (playlists, for one) would follow
        // references from the uploaded bytes to other files or the network.
        av_dict_set(&options, "format_whitelist", "wav,mov,aac,mp3,caf", 0);
        av_dict_set(&options, "protocol_whitelist", "file", 0);
        // Nothing here seeks, so the index of seek points that demuxers build while reading need not grow with the
        // file.
        av_dict_set(&options, "indexmem", "0", 0);
        // The "file:" prefix keeps a colon in the path from being read as a protocol name.
        const QByteArray url = "file:" + QFile::encodeName(path);
        AVFormatContext* input = nullptr;
        checkAv(avformat_open_input(&input, url.constData(), nullptr, &options),
            QStringLiteral("could not open the audio"));
        m_input.reset(input);
        checkAv(avformat_find_stream_info(m_input.get(), nullptr), QStringLiteral("could not read the audio format"));
    }

    void openCodec(const AVCodec* codec)
    {
        m_codec.reset(avcodec_alloc_context3(codec));
        if (!m_codec)
            throw AudioCodecError(QStringLiteral("out of memory"));
        const QString what = QStringLiteral("could not open the audio decoder");
        checkAv(avcodec_parameters_to_context(m_codec.get(), m_stream->codecpar), what);
        m_codec->pkt_timebase = m_stream->time_base;
        checkAv(avcodec_open2(m_codec.get(), codec, nullptr), what);
    }

    /// Hands the decoder the audio stream's next packet, or the end of the stream after the last one.
    void sendNextPacket()
    {
        const QString what = QStringLiteral("could not decode the audio");
        while (true) {
            const int read = av_read_frame(m_input.get(), m_packet.get());
            if (read == AVERROR_EOF) {
                checkAv(avcodec_send_packet(m_codec.get(), nullptr), what);
                return;
            }
            checkAv(read, QStringLiteral("could not read the audio"));
            const auto unref = qScopeGuard([&] { av_packet_unref(m_packet.get()); });
            if (m_packet->stream_index == m_stream->index) {
                checkAv(avcodec_send_packet(m_codec.get(), m_packet.get()), what);
                return;
            }
        }
    }

    void cutToDeclaredLength(AVFrame& frame)
    {
        if (m_declaredDuration) {
            const qint64 declared = av_rescale_q(*m_declaredDuration, m_stream->time_base, { 1, frame.sample_rate });
            const qint64 remaining = std::max<qint64>(declared - m_decodedSamples, 0);
            frame.nb_samples = int(std::min<qint64>(frame.nb_samples, remaining));
            // Nothing after the declared end is wanted, so there is no need to read or decode it.
            m_ended = remaining == frame.nb_samples;
        }
        m_decodedSamples += frame.nb_samples;
    }

    InputFormatPtr m_input;
    AVStream* m_stream = nullptr;
    CodecContextPtr m_codec;
    PacketPtr m_packet;
    FramePtr m_frame;
    std::optional<qint64> m_declaredDuration;
    qint64 m_decodedSamples = 0;
    bool m_ended = false;
};

/// A recording-format WAV file written as samples arrive; the header's sizes are completed by `finish`.
class RecordingFile
{
public:
    explicit RecordingFile(const QString& path)
        : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw AudioCodecError(QStringLiteral("could not create the WAV file: ") + m_file.errorString());
        write(wavHeader(recordingFormat, 0));
    }

    void append(qint16* samples, int frames)
    {
        if (m_dataBytes + 2 * qint64(frames) > 0xFFFFFFFFLL - 36)
            throw AudioCodecError(QStringLiteral("the audio is too long for a WAV file"));
        if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian)
            qToLittleEndian<qint16>(samples, frames, samples);
        write(QByteArrayView(reinterpret_cast<const char*>(samples), 2 * qsizetype(frames)));
        m_dataBytes += 2 * qint64(frames);
    }

    void finish()
    {
        if (!m_file.seek(0))
            fail();
        write(wavHeader(recordingFormat, quint32(m_dataBytes)));
        if (!m_file.flush())
            fail();
        m_file.close();
    }

private:
    void write(QByteArrayView bytes)
    {
        if (m_file.write(bytes.data(), bytes.size()) != bytes.size())
            fail();
    }

    [[noreturn]] void fail() const
    {
        throw AudioCodecError(QStringLiteral("could not write the WAV file: ") + m_file.errorString());
    }

    QFile m_file;
    qint64 m_dataBytes = 0;
};

/// A layout the resampler's default matrix can mix down: the frame's own when it names its channels, else the
/// usual layout for its channel count (mono WAV and CAF files leave the order unspecified).
AVChannelLayout mixableLayout(const AVChannelLayout& layout)
{
    AVChannelLayout mixable {};
    if (layout.order == AV_CHANNEL_ORDER_NATIVE)
        av_channel_layout_from_mask(&mixable, layout.u.mask);
    else
        av_channel_layout_default(&mixable, layout.nb_channels);
    return mixable;
}

/// Resamples decoded frames to 16000 Hz mono 16-bit into a RecordingFile, at most one block at a time. A frame in
/// another format than the one before (a stream may change rate midway) gets a new resampler.
class RecordingResampler
{
public:
    void convert(const AVFrame& frame, RecordingFile& output)
    {
        const AVChannelLayout layout = mixableLayout(frame.ch_layout);
        if (!m_context || frame.format != m_sampleFormat || frame.sample_rate != m_sampleRate
            || av_channel_layout_compare(&layout, &m_layout) != 0) {
            drain(output);
            start(frame, layout);
        }
        write(const_cast<const quint8**>(frame.extended_data), frame.nb_samples, output);
    }

    /// Writes what the resampler's filter still holds.
    void drain(RecordingFile& output)
    {
        if (m_context)
            write(nullptr, 0, output);
    }

private:
    void start(const AVFrame& frame, const AVChannelLayout& layout)
    {
        m_sampleFormat = frame.format;
        m_sampleRate = frame.sample_rate;
        m_layout = layout;
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        SwrContext* context = nullptr;
        const int allocated = swr_alloc_set_opts2(&context, &mono, AV_SAMPLE_FMT_S16, recordingRate, &m_layout,
            AVSampleFormat(m_sampleFormat), m_sampleRate, 0, nullptr);
        m_context.reset(context);
        const QString what = QStringLiteral("could not convert the audio to 16 kHz mono");
        checkAv(allocated, what);
        checkAv(swr_init(m_context.get()), what);
    }

    /// Converts `frames` input frames (none from a null `input` to drain the filter) and writes all they yield.
    void write(const quint8** input, int frames, RecordingFile& output)
    {
        quint8* block = reinterpret_cast<quint8*>(m_block.data());
        while (true) {
            const int converted
                = checkAv(swr_convert(m_context.get(), &block, AudioDecoder::blockFrames, input, frames),
                    QStringLiteral("could not resample the audio"));
            output.append(m_block.data(), converted);
            if (converted < AudioDecoder::blockFrames)
                return;
            // A full block: the resampler may hold more. A non-null input with no frames collects it; a null one
            // would flush the filter before the end of the stream.
            frames = 0;
        }
    }

    SwrContextPtr m_context;
    int m_sampleFormat = -1;
    int m_sampleRate = 0;
    AVChannelLayout m_layout {};
    std::vector<qint16> m_block = std::vector<qint16>(AudioDecoder::blockFrames);
};

} // namespace

void AudioDecoder::toRecording(const QString& input, const QString& output)
{
    AudioFileDecoder decoder(input);
    RecordingResampler resampler;
    RecordingFile file(output);
    while (const AVFrame* frame = decoder.nextFrame())
        resampler.convert(*frame, file);
    resampler.drain(file);
    file.finish();
}

} // namespace kavo
