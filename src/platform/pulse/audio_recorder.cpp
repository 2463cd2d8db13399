#include "audio_recorder.h"

#include "audio/codec/wav_reader.h"
#include "store/log.h"

#include <QFile>
#include <QFileInfo>
#include <QPromise>
#include <QTimer>

#include <QCoroFuture>

#include <future>

namespace kavo {

namespace {

// 20 ms fragments at 16 kHz: small enough that the first word after the hotkey is in the file at once.
constexpr int captureFragmentFrames = 320;
constexpr AudioFormat captureFormat { WavWriter::sampleRate, 1, SampleFormat::int16, true };
// A WAV file of this size or less holds no sample.
constexpr qint64 bareHeaderBytes = 44;
const QString clientName = QStringLiteral("Kavo Voice");
// Starting the plain stream takes one server round trip; a server that has not answered by then is as good as gone.
constexpr std::chrono::seconds sessionStartLimit { 5 };

double seconds(qint64 frames)
{
    return double(frames) / WavWriter::sampleRate;
}

/// Hands a recording from the audio thread's callbacks to an awaiting coroutine. Dropped undelivered, because the
/// work was abandoned, it delivers nothing.
class Handover
{
public:
    Handover() { m_promise.start(); }
    ~Handover() { deliver(std::nullopt); }
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;

    QFuture<std::optional<Recorder::Recording>> future() { return m_promise.future(); }

    void deliver(std::optional<Recorder::Recording> recording)
    {
        if (m_delivered)
            return;
        m_delivered = true;
        m_promise.addResult(std::move(recording));
        m_promise.finish();
    }

private:
    QPromise<std::optional<Recorder::Recording>> m_promise;
    bool m_delivered = false;
};

} // namespace

AudioRecorder::AudioRecorder(QObject* parent)
    : Recorder(parent)
{
    m_queue.setObjectName(QStringLiteral("kavo.audio"));
    m_queueContext.moveToThread(&m_queue);
    m_queue.start();
}

AudioRecorder::~AudioRecorder()
{
    onQueue([this] {
        unwatchEngine();
        if (m_engine)
            m_engine->stop();
        if (m_session)
            m_session->stop();
    });
    m_queue.quit();
    m_queue.wait();
    discardLeftover();
}

void AudioRecorder::discardLeftover()
{
    if (m_leftover)
        QFile::remove(std::exchange(m_leftover, std::nullopt)->path);
}

std::optional<PulseConnection::Source> AudioRecorder::inputDevice(const QString& deviceID)
{
    try {
        return PulseConnection::reconnected(m_connection, clientName)->inputDevice(deviceID);
    } catch (const PulseError& error) {
        throw Failure::couldNotStart(error.message());
    }
}

void AudioRecorder::onQueue(std::function<void()> work)
{
    QMetaObject::invokeMethod(&m_queueContext, std::move(work), Qt::QueuedConnection);
}

void AudioRecorder::onMain(std::function<void()> work)
{
    // Posted to the recorder: nothing runs once it is gone.
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void AudioRecorder::start(const QString& deviceID, bool noiseReduction, FrameListener listener)
{
    if (m_isRecording)
        throw Failure::alreadyRecording();
    discardLeftover();
    m_listener = std::move(listener);
    if (noiseReduction) {
        try {
            startEngine(deviceID);
            return;
        } catch (const std::exception& error) {
            Log::write(QStringLiteral("noise reduction did not start, recording without it: ") + audioErrorText(error));
        }
    }
    startCapture(deviceID);
}

std::optional<float> AudioRecorder::level() const
{
    if (!m_isRecording)
        return std::nullopt;
    return m_engineRecording ? m_engineLevel : m_captureLevel;
}

// The noise-reduction path.

void AudioRecorder::startEngine(const QString& deviceID)
{
    const std::optional<PulseConnection::Source> device = inputDevice(deviceID);
    if (!device)
        throw Failure::noMicrophone();
    const QString path = newFilePath();
    auto writer = std::make_shared<WavWriter>(path, m_listener);
    const int run = ++m_engineRun;
    m_engineRecording = EngineRecording { writer, path, deviceID };
    m_engineLevel.reset();
    m_isRecording = true;
    onQueue([this, server = m_connection, device = *device, writer, run, deviceID] {
        try {
            runEngine(server, device, writer, run);
        } catch (const std::exception& error) {
            Log::write(QStringLiteral("noise reduction did not start, recording without it: ") + audioErrorText(error));
            onMain([this, run, deviceID] { fallBack(run, deviceID); });
        }
    });
}

VoiceEngine& AudioRecorder::engineFor(std::shared_ptr<PulseConnection> server, const PulseConnection::Source& device)
{
    QString defaultSink;
    try {
        defaultSink = server->defaults().sink;
    } catch (const PulseError&) { }
    const QString key = device.name + u' ' + (defaultSink.isEmpty() ? QStringLiteral("0") : defaultSink);
    if (m_engine && m_engineDevices == key && m_engine->connection() == server)
        return *m_engine;
    m_engine.reset();
    m_engine = std::make_unique<VoiceEngine>(server, device);
    m_engineDevices = key;
    return *m_engine;
}

void AudioRecorder::runEngine(std::shared_ptr<PulseConnection> server, const PulseConnection::Source& device,
    std::shared_ptr<WavWriter> writer, int run)
{
    VoiceEngine& engine = engineFor(server, device);
    auto levels = std::make_shared<LevelTap>(this, [this, run](float level) {
        if (m_engineRun == run)
            m_engineLevel = level;
    });
    try {
        engine.start(
            [writer, levels](const AudioBuffer& buffer) {
                writer->append(buffer);
                levels->append(buffer);
            },
            [this, run](const QString&) { onMain([this, run] { engineChanged(run); }); });
    } catch (...) {
        m_engine.reset();
        throw;
    }
    watchEngine(server, run);
    Log::write(QStringLiteral("recording with noise reduction, %1 Hz, %2 ch")
                   .arg(engine.sampleRate())
                   .arg(engine.channelCount()));
}

void AudioRecorder::watchEngine(std::shared_ptr<PulseConnection> server, int run)
{
    unwatchEngine();
    server->setChangeHandler([this, run] { onMain([this, run] { engineChanged(run); }); });
    m_watchedConnection = std::move(server);
}

void AudioRecorder::unwatchEngine()
{
    if (m_watchedConnection)
        m_watchedConnection->setChangeHandler({});
    m_watchedConnection.reset();
}

void AudioRecorder::engineChanged(int run)
{
    if (!m_isRecording || m_engineRun != run || !m_engineRecording)
        return;
    onQueue([this, run, recording = *m_engineRecording] {
        if (!m_engine || m_engine->isRunning())
            return;
        Log::write(QStringLiteral("audio devices changed during a noise reduction recording, starting it again"));
        const std::shared_ptr<PulseConnection> server = m_engine->connection();
        unwatchEngine();
        m_engine.reset();
        try {
            std::optional<PulseConnection::Source> device = server->inputDevice(recording.deviceID);
            if (!device)
                device = server->inputDevice(QString());
            if (!device)
                throw Failure::noMicrophone();
            runEngine(server, *device, recording.writer, run);
        } catch (const std::exception& error) {
            Log::write(QStringLiteral("noise reduction did not start again: ") + audioErrorText(error));
            onMain([this, run, deviceID = recording.deviceID] { fallBack(run, deviceID); });
        }
    });
}

void AudioRecorder::fallBack(int run, const QString& deviceID)
{
    if (!m_isRecording || m_engineRun != run || !m_engineRecording)
        return;
    const EngineRecording recording = *std::exchange(m_engineRecording, std::nullopt);
    if (const qint64 frames = recording.writer->finish(); frames >= 1)
        Log::write(QStringLiteral("dropping the first %1s of the recording").arg(seconds(frames), 0, 'f', 1));
    QFile::remove(recording.path);
    if (m_listener)
        m_listener(nullptr, 0);
    m_isRecording = false;
    try {
        startCapture(deviceID);
    } catch (const Failure& failure) {
        Log::write(QStringLiteral("recording did not start: ") + failure.message());
        Q_EMIT failed(failure);
    }
}

void AudioRecorder::stopEngine(Completion completion)
{
    const EngineRecording recording = *std::exchange(m_engineRecording, std::nullopt);
    m_engineLevel.reset();
    ++m_engineRun;
    m_isRecording = false;
    onQueue([this, recording, completion = std::move(completion)] {
        unwatchEngine();
        if (m_engine)
            m_engine->stop();
        const qint64 frames = recording.writer->finish();
        onMain([recording, completion, frames] {
            if (frames < 1) {
                Log::write(QStringLiteral("noise reduction recording captured no audio"));
                QFile::remove(recording.path);
                completion(std::nullopt);
                return;
            }
            completion(Recording { recording.path, seconds(frames), frames });
        });
    });
}

// The plain path.

void AudioRecorder::startCapture(const QString& deviceID)
{
    std::optional<PulseConnection::Source> device;
    if (!deviceID.isEmpty())
        device = inputDevice(deviceID);
    if (!device)
        device = inputDevice(QString());
    if (!device)
        throw Failure::noMicrophone();
    const QString path = newFilePath();

    // The device lookup replaces a dead connection; a stream built on the old one could never start again.
    if (!m_session || m_sessionDeviceID != device->name || m_session->connection() != m_connection) {
        // The old stream is stopped and destroyed on the queue, after any work still queued for it.
        onQueue([old = std::shared_ptr<PulseRecordStream>(std::move(m_session))] {});
        m_session = std::make_unique<PulseRecordStream>(
            m_connection, device->name, captureFormat, captureFragmentFrames,
            [this](const AudioBuffer& buffer) {
                std::lock_guard lock(m_captureLock);
                if (!m_captureWriter)
                    return;
                m_captureWriter->append(buffer);
                m_captureTap->append(buffer);
            },
            [this](const QString& reason) { onMain([this, reason] { captureEnded(reason); }); });
        m_sessionDeviceID = device->name;
    }

    std::shared_ptr<WavWriter> writer;
    try {
        writer = std::make_shared<WavWriter>(path, m_listener);
    } catch (const WavError& error) {
        throw Failure::couldNotStart(error.message());
    }
    const int run = ++m_captureRun;
    {
        std::lock_guard lock(m_captureLock);
        m_captureWriter = writer;
        m_captureTap = std::make_shared<LevelTap>(this, [this, run](float level) {
            if (m_captureRun == run && m_isRecording && !m_engineRecording)
                m_captureLevel = level;
        });
    }
    if (const std::optional<QString> refusal = startSession()) {
        {
            std::lock_guard lock(m_captureLock);
            m_captureWriter.reset();
        }
        writer.reset();
        QFile::remove(path);
        release();
        Log::write(QStringLiteral("recording did not start: ") + *refusal);
        throw Failure::couldNotStart(*refusal);
    }
    m_captureLevel.reset();
    m_isRecording = true;
    m_currentPath = path;
    m_startedAt = QDateTime::currentDateTimeUtc();
}

// A refusal must reach the caller of `start()`, not end a recording that already looked started, so this waits for
// the queue's answer.
std::optional<QString> AudioRecorder::startSession()
{
    auto answer = std::make_shared<std::promise<std::optional<QString>>>();
    std::future<std::optional<QString>> answered = answer->get_future();
    onQueue([session = m_session.get(), answer] {
        try {
            session->start();
            answer->set_value(std::nullopt);
        } catch (const std::exception& error) {
            answer->set_value(audioErrorText(error));
        }
    });
    if (answered.wait_for(sessionStartLimit) == std::future_status::timeout)
        return tr("the sound server did not answer within %1 seconds").arg(sessionStartLimit.count());
    return answered.get();
}

void AudioRecorder::captureEnded(const QString& reason)
{
    if (!m_isRecording || m_engineRecording || !m_currentPath)
        return;
    Log::write(QStringLiteral("recording failed: ") + reason);
    m_isRecording = false;
    std::shared_ptr<WavWriter> writer;
    {
        std::lock_guard lock(m_captureLock);
        writer = std::exchange(m_captureWriter, nullptr);
    }
    const QString path = *std::exchange(m_currentPath, std::nullopt);
    m_startedAt.reset();
    onQueue([this, writer, path] {
        const qint64 frames = writer->finish();
        onMain([this, path, frames] {
            if (frames >= 1)
                m_leftover = Recording { path, seconds(frames), frames };
            else
                QFile::remove(path);
            release();
            Q_EMIT failed(Failure::noMicrophone());
        });
    });
}

QCoro::Task<std::optional<Recorder::Recording>> AudioRecorder::stop()
{
    if (!m_isRecording)
        co_return std::exchange(m_leftover, std::nullopt);
    auto handover = std::make_shared<Handover>();
    finish([handover](std::optional<Recording> recording) { handover->deliver(std::move(recording)); });
    co_return co_await handover->future();
}

void AudioRecorder::finish(Completion completion)
{
    if (m_engineRecording) {
        stopEngine(std::move(completion));
        return;
    }
    m_isRecording = false;
    m_finished = std::move(completion);
    std::shared_ptr<WavWriter> writer;
    {
        std::lock_guard lock(m_captureLock);
        writer = std::exchange(m_captureWriter, nullptr);
    }
    onQueue([this, writer, path = m_currentPath.value_or(QString())] {
        const qint64 frames = writer->finish();
        onMain([this, path, frames] { captureFinished(path, frames); });
    });
}

void AudioRecorder::captureFinished(const QString& path, qint64 frames)
{
    double duration = seconds(frames);
    if (duration <= 0 && m_startedAt)
        duration = double(m_startedAt->msecsTo(QDateTime::currentDateTimeUtc())) / 1000.0;
    const QFileInfo file(path);
    if (file.exists() && file.size() > bareHeaderBytes && duration > 0) {
        deliver(Recording { path, duration, frames });
        return;
    }
    QFile::remove(path);
    deliver(std::nullopt);
}

void AudioRecorder::deliver(std::optional<Recording> result)
{
    Completion completion = std::exchange(m_finished, nullptr);
    m_currentPath.reset();
    m_startedAt.reset();
    release();
    if (completion)
        completion(std::move(result));
}

void AudioRecorder::release()
{
    onQueue([this, session = m_session.get()] {
        if (session)
            session->stop();
        if (m_engine && !m_engine->isRunning())
            m_engine.reset();
    });
}

void AudioRecorder::prepareNoiseReduction(const QString& deviceID)
{
    std::optional<PulseConnection::Source> device;
    try {
        device = inputDevice(deviceID);
    } catch (const Failure& failure) {
        Log::write(QStringLiteral("noise reduction could not be prepared: ") + failure.message());
        return;
    }
    if (!device)
        return;
    onQueue([this, server = m_connection, device = *device] {
        if (m_engine && m_engine->isRunning())
            return;
        try {
            engineFor(server, device);
        } catch (const std::exception& error) {
            Log::write(QStringLiteral("noise reduction could not be prepared: ") + audioErrorText(error));
        }
    });
}

// Devices.

QList<AudioRecorder::Input> AudioRecorder::inputs()
{
    QList<Input> inputs;
    try {
        const auto server = PulseConnection::open(clientName);
        for (const PulseConnection::Source& source : server->sources()) {
            if (!source.isMonitor)
                inputs.append({ source.name, source.description });
        }
    } catch (const PulseError& error) {
        Log::write(QStringLiteral("could not list the microphones: ") + error.message());
    }
    return inputs;
}

QString AudioRecorder::name(const QString& id)
{
    return id.isEmpty() ? tr("System default") : name(id, inputs());
}

QString AudioRecorder::name(const QString& id, const QList<Input>& inputs)
{
    if (id.isEmpty())
        return tr("System default");
    for (const Input& input : inputs) {
        if (input.id == id)
            return input.name;
    }
    return tr("Not connected");
}

void AudioRecorder::requestPermission(QObject* context, std::function<void(bool)> completion)
{
    // No sandbox prompt on this platform: access means a server that answers and has a microphone.
    const bool granted = !inputs().isEmpty();
    QTimer::singleShot(0, context, [completion = std::move(completion), granted] { completion(granted); });
}

} // namespace kavo
