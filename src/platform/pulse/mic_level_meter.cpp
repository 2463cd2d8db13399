#include "mic_level_meter.h"

#include "audio/levels/level_tap.h"
#include "audio/levels/mic_engine.h"
#include "store/log.h"

namespace kavo {

namespace {

constexpr double fragmentSeconds = 0.02;

} // namespace

MicLevelMeter::MicLevelMeter(QObject* parent)
    : QObject(parent)
{ }

MicLevelMeter::~MicLevelMeter()
{
    stop();
}

void MicLevelMeter::start(const QString& deviceID, bool noiseReduction)
{
    stop();
    std::optional<PulseConnection::Source> device;
    try {
        device = PulseConnection::reconnected(m_connection, QStringLiteral("Kavo Voice"))->inputDevice(deviceID);
    } catch (const PulseError& error) {
        throw RecorderFailure::couldNotStart(error.message());
    }
    if (!device)
        throw RecorderFailure::noMicrophone();
    if (noiseReduction) {
        try {
            listen(*device, true);
            return;
        } catch (const std::exception& error) {
            Log::write(QStringLiteral("mic test: noise reduction did not start, listening without it: ")
                + audioErrorText(error));
        }
    }
    try {
        listen(*device, false);
    } catch (const RecorderFailure&) {
        throw;
    } catch (const std::exception& error) {
        throw RecorderFailure::couldNotStart(audioErrorText(error));
    }
}

std::function<void(float)> MicLevelMeter::delivery(int run)
{
    return [this, run](float level) {
        if (m_run == run)
            Q_EMIT levelChanged(MicEngine::displayValue(level));
    };
}

void MicLevelMeter::listen(const PulseConnection::Source& device, bool voiceProcessing)
{
    const int run = ++m_run;
    auto levels = std::make_shared<LevelTap>(this, delivery(run));
    const auto tap = [levels](const AudioBuffer& buffer) { levels->append(buffer); };
    if (voiceProcessing) {
        auto engine = std::make_unique<VoiceEngine>(m_connection, device);
        engine->start(tap, {});
        m_engine = std::move(engine);
    } else {
        if (device.sampleRate <= 0 || device.channelCount < 1)
            throw RecorderFailure::noMicrophone();
        const AudioFormat format { device.sampleRate, device.channelCount, SampleFormat::float32, true };
        auto stream = std::make_unique<PulseRecordStream>(
            m_connection, device.name, format, int(device.sampleRate * fragmentSeconds), tap, nullptr);
        stream->start();
        m_stream = std::move(stream);
    }
    m_isRunning = true;
    Log::write(QStringLiteral("mic test started, noise reduction ") + (voiceProcessing ? "on" : "off"));
}

void MicLevelMeter::stop()
{
    ++m_run;
    m_isRunning = false;
    if (m_engine)
        std::exchange(m_engine, nullptr)->stop();
    if (m_stream)
        std::exchange(m_stream, nullptr)->stop();
}

} // namespace kavo
