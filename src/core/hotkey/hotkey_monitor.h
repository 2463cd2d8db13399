#pragma once

#include "hotkey/hotkey_kind.h"
#include "hotkey/input_events.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace kavo {

/// Turns the system-wide stream of modifier changes, key presses and mouse presses into the dictation commands
/// start, stop, cancel and toggle.
///
/// In hold mode, holding the chord for the hold threshold starts a dictation and releasing it stops; another key
/// cancels. In toggle mode a clean tap of the chord (under 0.8 s, nothing else pressed) toggles. Escape cancels a
/// running dictation in both. Everything runs on the main thread.
class HotkeyMonitor : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;
    using SourceFactory = std::function<std::unique_ptr<InputEventSource>()>;

    static constexpr auto tapLimit = std::chrono::milliseconds(800);

    /// `makeSource` builds the event source at every `start()`.
    explicit HotkeyMonitor(SourceFactory makeSource, QObject* parent = nullptr);
    ~HotkeyMonitor() override;

    HotkeyKind kind = HotkeyKind::controlSuper;
    HotkeyMode mode = HotkeyMode::hold;
    /// Seconds the chord must be held before a hold-mode start.
    double holdThreshold = 0.3;

    /// (Re)starts watching the input with a new event source.
    void start();
    /// Stops watching and forgets a held chord.
    void stop();
    /// Whether the last `start()` could read the input, and if not, why (empty while it can).
    bool hasInputAccess() const { return m_inputProblem.isEmpty() && m_source; }
    QString inputProblem() const { return m_inputProblem; }
    /// Set by the application while a dictation runs, however it was started: Escape cancels it then.
    void setExternalRecording(bool recording) { m_externalRecording = recording; }

    void handleFlags(const FlagsEvent& event);
    void handleOtherKey(const PressEvent& event);

Q_SIGNALS:
    /// Hold mode: the chord was held for the hold threshold.
    void startRequested();
    /// Hold mode: the chord was released after a start.
    void stopRequested();
    /// Escape, or another key during a hold recording.
    void cancelRequested();
    /// Toggle mode: a clean tap of the chord.
    void toggleRequested();

private:
    void handleHoldFlags(const FlagsEvent& event);
    void handleToggleFlags(const FlagsEvent& event);
    bool arms(const FlagsEvent& event) const;
    void reachHold();

    SourceFactory m_makeSource;
    std::unique_ptr<InputEventSource> m_source;
    QString m_inputProblem;
    std::optional<HotkeyKind> m_heldKind;
    bool m_recording = false;
    bool m_externalRecording = false;
    QTimer m_pendingStart;
    std::optional<Clock::time_point> m_tapStarted;
    bool m_tapSpoiled = false;
};

} // namespace kavo
