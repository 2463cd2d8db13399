#include "ffmpeg_support.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

namespace kavo {

AudioCodecError::AudioCodecError(const QString& what, int code)
    : AudioCodecError(QStringLiteral("%1: %2").arg(what, avErrorText(code)))
{ }

void quietFfmpegLogging()
{
    av_log_set_level(AV_LOG_QUIET);
}

QString avErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    if (av_strerror(code, text, sizeof text) < 0)
        return QStringLiteral("unknown error");
    return QString::fromUtf8(text);
}

int checkAv(int code, const QString& what)
{
    if (code < 0)
        throw AudioCodecError(what, code);
    return code;
}

void AvDeleter::operator()(AVCodecContext* context) const
{
    avcodec_free_context(&context);
}

void AvDeleter::operator()(AVFrame* frame) const
{
    av_frame_free(&frame);
}

void AvDeleter::operator()(AVPacket* packet) const
{
    av_packet_free(&packet);
}

void AvDeleter::operator()(AVAudioFifo* fifo) const
{
    av_audio_fifo_free(fifo);
}

void AvDeleter::operator()(SwrContext* context) const
{
    swr_free(&context);
}

void InputFormatDeleter::operator()(AVFormatContext* context) const
{
    avformat_close_input(&context);
}

void OutputFormatDeleter::operator()(AVFormatContext* context) const
{
    if (context->pb && !(context->oformat->flags & AVFMT_NOFILE))
        avio_closep(&context->pb);
    avformat_free_context(context);
}

} // namespace kavo
