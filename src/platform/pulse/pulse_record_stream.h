#pragma once

#include "audio/codec/audio_buffer.h"
#include "platform/pulse/pulse_connection.h"

#include <functional>
#include <memory>

struct pa_stream;

namespace kavo {

/// One PulseAudio record stream: captured audio is handed to a callback on the connection's event thread as it
/// arrives, in small fragments so that the first words after a start are not held back.
///
/// The stream never moves to another source: when its source goes away the stream ends, and the end handler says so.
class PulseRecordStream
{
public:
    /// Called on the event thread for every captured fragment (interleaved, in the stream's format).
    using DataHandler = std::function<void(const AudioBuffer&)>;
    /// Called on the event thread once when the stream ends without being stopped, with the reason.
    using EndHandler = std::function<void(const QString&)>;

    /// `sourceName` empty records from the server's default source. `format` must be interleaved.
    PulseRecordStream(std::shared_ptr<PulseConnection> connection, QString sourceName, AudioFormat format,
        int fragmentFrames, DataHandler onData, EndHandler onEnd);
    /// Stops the stream.
    ~PulseRecordStream();
    PulseRecordStream(const PulseRecordStream&) = delete;
    PulseRecordStream& operator=(const PulseRecordStream&) = delete;

    /// Connects the stream and waits until it records; a stream that ended is connected anew. Throws `PulseError`;
    /// the stream is then stopped.
    void start();
    /// Disconnects the stream; no handler is called once this returns. Safe to call more than once.
    void stop();
    /// True from a successful start until the stream is stopped or ended.
    bool isRunning() const;
    /// The source the server connected the stream to (known after `start`).
    QString deviceName() const;
    const AudioFormat& format() const { return m_format; }
    const std::shared_ptr<PulseConnection>& connection() const { return m_connection; }

private:
    static void onRead(pa_stream* stream, size_t bytes, void* self);
    static void onStateChange(pa_stream* stream, void* self);
    void release();

    std::shared_ptr<PulseConnection> m_connection;
    QString m_sourceName;
    AudioFormat m_format;
    int m_fragmentFrames;
    DataHandler m_onData;
    EndHandler m_onEnd;
    pa_stream* m_stream = nullptr;
    bool m_recording = false;
};

} // namespace kavo
