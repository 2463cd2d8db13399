#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

namespace kavo {

class Settings;

/// Writes the settings a moment after they stop changing and then asks for them to be applied, so that a slider
/// dragged or a word typed costs one save and one apply rather than one per step.
class SettingsObserver : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds quietSpell { 250 };

    explicit SettingsObserver(Settings& settings, QObject* parent = nullptr);

    /// Saves now and asks for the apply, when a change is still waiting.
    void flush();

Q_SIGNALS:
    /// The settings were written (or could not be, which the settings log); now apply them.
    void applyRequested();

private:
    void saveAndApply();

    Settings& m_settings;
    QTimer m_timer;
};

} // namespace kavo
