#pragma once

#include "audio/audio_error.h"

#include <QString>

#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVAudioFifo;
struct SwrContext;

namespace kavo {

/// A failure of the FFmpeg libraries while decoding, converting or encoding audio; `message()` says why.
class AudioCodecError : public AudioError
{
public:
    using AudioError::AudioError;
    /// "`what`: FFmpeg's text for `code`", e.g. "could not open the input: Invalid data found when processing input".
    AudioCodecError(const QString& what, int code);
};

/// Keeps FFmpeg's own messages (encoder statistics, container warnings) off standard error; failures reach the
/// application as `AudioCodecError` instead. Process-wide: called once at start-up.
void quietFfmpegLogging();

/// FFmpeg's description of an AVERROR code.
QString avErrorText(int code);

/// Throws `AudioCodecError(what, code)` when `code` is negative; returns it otherwise.
int checkAv(int code, const QString& what);

struct AvDeleter
{
    void operator()(AVCodecContext* context) const;
    void operator()(AVFrame* frame) const;
    void operator()(AVPacket* packet) const;
    void operator()(AVAudioFifo* fifo) const;
    void operator()(SwrContext* context) const;
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, AvDeleter>;
using FramePtr = std::unique_ptr<AVFrame, AvDeleter>;
using PacketPtr = std::unique_ptr<AVPacket, AvDeleter>;
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AvDeleter>;
using SwrContextPtr = std::unique_ptr<SwrContext, AvDeleter>;

/// An input opened with avformat_open_input; closed with avformat_close_input.
struct InputFormatDeleter
{
    void operator()(AVFormatContext* context) const;
};
using InputFormatPtr = std::unique_ptr<AVFormatContext, InputFormatDeleter>;

/// An output made with avformat_alloc_output_context2; its I/O context is closed with it when it was opened.
struct OutputFormatDeleter
{
    void operator()(AVFormatContext* context) const;
};
using OutputFormatPtr = std::unique_ptr<AVFormatContext, OutputFormatDeleter>;

} // namespace kavo
