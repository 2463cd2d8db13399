#pragma once

#include "audio/recorder_failure.h"
#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_record_stream.h"
#include "platform/pulse/voice_engine.h"

#include <QObject>

#include <functional>
#include <memory>

namespace kavo {

/// The microphone test: listens to a source and reports its level as a 0..1 display value, two values per 100 ms
/// of audio, on the main thread. Each start and stop begins a new generation, so values of an earlier one are dropped.
class MicLevelMeter : public QObject
{
    Q_OBJECT

public:
    explicit MicLevelMeter(QObject* parent = nullptr);
    ~MicLevelMeter() override;

    /// Starts listening to `deviceID` (empty: the default source), through noise reduction when asked and
    /// available. Throws `RecorderFailure`.
    void start(const QString& deviceID, bool noiseReduction);
    /// Stops listening; safe when not running.
    void stop();
    bool isRunning() const { return m_isRunning; }

Q_SIGNALS:
    /// Each display value, 0..1, on the main thread.
    void levelChanged(double level);

private:
    void listen(const PulseConnection::Source& device, bool voiceProcessing);
    std::function<void(float)> delivery(int run);

    std::shared_ptr<PulseConnection> m_connection;
    std::unique_ptr<VoiceEngine> m_engine;
    std::unique_ptr<PulseRecordStream> m_stream;
    int m_run = 0;
    bool m_isRunning = false;
};

} // namespace kavo
