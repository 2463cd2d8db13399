#pragma once

#include <QObject>

#include <optional>

namespace kavo {

class DictationState;
class MicLevelMeter;
class Settings;
class Toasts;

/// The microphone test of the settings: the chosen microphone's level while it runs, none while it is off.
class MicTest : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool running READ isRunning NOTIFY levelChanged)
    Q_PROPERTY(double level READ levelOrZero NOTIFY levelChanged)

public:
    MicTest(MicLevelMeter& meter, const Settings& settings, const DictationState& dictation, Toasts& toasts,
        QObject* parent = nullptr);

    /// The level, 0..1, while the test runs.
    std::optional<double> level() const { return m_level; }
    bool isRunning() const { return m_level.has_value(); }
    double levelOrZero() const { return m_level.value_or(0.0); }

    /// Starts the test on the chosen microphone, or stops it. Nothing starts while a dictation records; a microphone
    /// that does not start is a toast.
    Q_INVOKABLE void toggle();
    /// Stops the test, when it runs.
    void stop();

Q_SIGNALS:
    void levelChanged();

private:
    void setLevel(std::optional<double> level);

    MicLevelMeter& m_meter;
    const Settings& m_settings;
    const DictationState& m_dictation;
    Toasts& m_toasts;
    std::optional<double> m_level;
};

} // namespace kavo
