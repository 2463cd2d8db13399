#include "mic_test.h"

#include "audio/audio_error.h"
#include "dictation/dictation_state.h"
#include "platform/pulse/mic_level_meter.h"
#include "state/toasts.h"
#include "store/settings.h"

namespace kavo {

MicTest::MicTest(
    MicLevelMeter& meter, const Settings& settings, const DictationState& dictation, Toasts& toasts, QObject* parent)
    : QObject(parent)
    , m_meter(meter)
    , m_settings(settings)
    , m_dictation(dictation)
    , m_toasts(toasts)
{
    connect(&m_meter, &MicLevelMeter::levelChanged, this, [this](double level) {
        if (m_level)
            setLevel(level);
    });
}

void MicTest::toggle()
{
    if (m_meter.isRunning()) {
        stop();
        return;
    }
    if (m_dictation.phase() == DictationState::Phase::recording)
        return;
    try {
        m_meter.start(m_settings.inputDeviceID(), m_settings.noiseReduction());
    } catch (const std::exception& error) {
        m_toasts.show(tr("The microphone did not start"), audioErrorText(error), Toasts::Tone::danger);
        return;
    }
    setLevel(0.0);
}

void MicTest::stop()
{
    m_meter.stop();
    setLevel(std::nullopt);
}

void MicTest::setLevel(std::optional<double> level)
{
    if (level == m_level)
        return;
    m_level = level;
    Q_EMIT levelChanged();
}

} // namespace kavo
