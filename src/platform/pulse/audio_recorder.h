#pragma once

#include "audio/codec/wav_writer.h"
#include "audio/levels/level_tap.h"
#include "audio/recorder.h"
#include "audio/recorder_failure.h"
#include "platform/pulse/pulse_connection.h"
#include "platform/pulse/pulse_record_stream.h"
#include "platform/pulse/voice_engine.h"

#include <QDateTime>
#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace kavo {

/// Records one dictation at a time from a PulseAudio source into a temporary 16 kHz mono 16-bit WAV file.
///
/// Two paths lead there. The noise-reduction path (tried first when asked for) records a float stream through
/// WebRTC noise suppression, high-pass filtering and gain control into a `WavWriter`; when it cannot start, or
/// cannot start again after the devices changed, the recording falls back to the plain path, which records the
/// source as 16 kHz mono 16-bit directly. Stream and engine work runs on the "kavo.audio" thread; every public call
/// and every callback belongs to the main thread. A plain start waits (a few seconds at most) until the server has
/// taken the stream, so that a refusal fails `start()` itself, with the server's reason.
class AudioRecorder : public Recorder
{
    Q_OBJECT

public:
    struct Input
    {
        QString id; ///< the source's name on the server
        QString name; ///< its description
        friend bool operator==(const Input&, const Input&) = default;
    };
    explicit AudioRecorder(QObject* parent = nullptr);
    ~AudioRecorder() override;

    void start(const QString& deviceID, bool noiseReduction, FrameListener listener = {}) override;
    QCoro::Task<std::optional<Recording>> stop() override;
    std::optional<float> level() const override;
    bool isRecording() const override { return m_isRecording; }
    QString deviceName(const QString& deviceID) const override { return name(deviceID); }
    /// Builds and keeps the noise-reduction engine for `deviceID`, so the next such start is quick.
    void prepareNoiseReduction(const QString& deviceID);
    /// Stops an idle capture stream and drops a cached engine that is not running.
    void release();

    /// The sources that are microphones (monitors left out), in the server's order; empty without a server.
    static QList<Input> inputs();
    /// "System default" for an empty ID, the input's name, or "Not connected".
    static QString name(const QString& id);
    /// The same, from inputs already read.
    static QString name(const QString& id, const QList<Input>& inputs);
    /// Tells `completion` on `context`'s thread whether a server with a source can be reached.
    static void requestPermission(QObject* context, std::function<void(bool)> completion);

private:
    using Completion = std::function<void(std::optional<Recording>)>;

    struct EngineRecording
    {
        std::shared_ptr<WavWriter> writer;
        QString path;
        QString deviceID;
    };

    std::optional<PulseConnection::Source> inputDevice(const QString& deviceID);
    void onQueue(std::function<void()> work);
    void onMain(std::function<void()> work);

    void startEngine(const QString& deviceID);
    VoiceEngine& engineFor(std::shared_ptr<PulseConnection> connection, const PulseConnection::Source& device);
    void runEngine(std::shared_ptr<PulseConnection> connection, const PulseConnection::Source& device,
        std::shared_ptr<WavWriter> writer, int run);
    void watchEngine(std::shared_ptr<PulseConnection> connection, int run);
    void unwatchEngine();
    void engineChanged(int run);
    void fallBack(int run, const QString& deviceID);
    void stopEngine(Completion completion);

    void startCapture(const QString& deviceID);
    /// Why the plain stream did not start, if it did not.
    std::optional<QString> startSession();
    void captureEnded(const QString& reason);
    void captureFinished(const QString& path, qint64 frames);
    void deliver(std::optional<Recording> result);
    void finish(Completion completion);
    void discardLeftover();

    std::shared_ptr<PulseConnection> m_connection;
    QThread m_queue;
    QObject m_queueContext;

    // The plain path. `m_session` is touched on the queue once built; the capture writer also on the event thread.
    std::unique_ptr<PulseRecordStream> m_session;
    QString m_sessionDeviceID;
    std::mutex m_captureLock;
    std::shared_ptr<WavWriter> m_captureWriter;
    /// Told what goes into the recording under way; kept for a capture that replaces a failed engine.
    FrameListener m_listener;
    std::optional<QString> m_currentPath;
    std::optional<QDateTime> m_startedAt;
    Completion m_finished;
    std::shared_ptr<LevelTap> m_captureTap;
    int m_captureRun = 0;
    std::optional<float> m_captureLevel;

    // The noise-reduction path. `m_engine` and `m_engineDevices` belong to the queue.
    std::unique_ptr<VoiceEngine> m_engine;
    QString m_engineDevices;
    std::shared_ptr<PulseConnection> m_watchedConnection;
    std::optional<EngineRecording> m_engineRecording;
    std::optional<float> m_engineLevel;
    int m_engineRun = 0;

    bool m_isRecording = false;
    /// What a recording that failed left behind, until `stop()` hands it over or the next start discards it.
    std::optional<Recording> m_leftover;
};

} // namespace kavo
