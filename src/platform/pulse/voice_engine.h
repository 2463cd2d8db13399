#pragma once

#include "platform/pulse/noise_reducer.h"
#include "platform/pulse/pulse_record_stream.h"

#include <functional>
#include <memory>

namespace kavo {

/// The noise-reduction input of one source: a mono float stream at a rate the noise reducer runs at (the source's
/// own when it can, else 48 kHz, which the server converts to), processed in 10 ms frames and tapped as it comes.
/// Building it costs more than starting it, so a stopped engine is kept for the next recording from the same source.
class VoiceEngine
{
public:
    /// Receives the processed audio (mono float, interleaved) on the connection's event thread.
    using Tap = std::function<void(const AudioBuffer&)>;

    /// Throws `std::runtime_error` when the source has no usable format or the processor cannot be built.
    VoiceEngine(std::shared_ptr<PulseConnection> connection, const PulseConnection::Source& source);

    const QString& sourceName() const { return m_sourceName; }
    const std::shared_ptr<PulseConnection>& connection() const { return m_connection; }
    int sampleRate() const { return m_reducer.sampleRate(); }
    int channelCount() const { return 1; }

    /// Starts capturing into `tap`; `onEnd` hears of a stream that ends on its own (its source went away).
    /// Throws `PulseError`.
    void start(Tap tap, PulseRecordStream::EndHandler onEnd);
    /// Stops capturing; the tap is not called once this returns.
    void stop();
    bool isRunning() const;

private:
    void process(const AudioBuffer& buffer);

    std::shared_ptr<PulseConnection> m_connection;
    QString m_sourceName;
    NoiseReducer m_reducer;
    std::vector<float> m_processed;
    Tap m_tap;
    std::unique_ptr<PulseRecordStream> m_stream;
};

} // namespace kavo
