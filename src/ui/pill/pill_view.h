#pragma once

#include "audio/levels/level_smoother.h"
#include "ui/pill/pill_rules.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <chrono>

namespace kavo {

class InputAccess;
class Settings;

/// What the floating pill shows: its kind, glyph, label and tooltip from the dictation's state, the elapsed time and
/// the level wave's bars while listening. Timers run only while their kind shows: the wave's frames while
/// listening with motion on, the elapsed time while listening and the progress text while thinking; an idle pill
/// costs nothing.
class PillView : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application owns the pill's state")
    // QML sees the kind by its place: idle, listening, thinking, done, failed.
    Q_PROPERTY(int kind READ kindIndex NOTIFY kindChanged)
    Q_PROPERTY(QString glyph READ glyph NOTIFY contentChanged)
    Q_PROPERTY(QString label READ label NOTIFY contentChanged)
    Q_PROPERTY(QString tooltip READ tooltip NOTIFY contentChanged)
    Q_PROPERTY(QString elapsed READ elapsed NOTIFY elapsedChanged)
    Q_PROPERTY(QList<qreal> bars READ bars NOTIFY frameChanged)
    Q_PROPERTY(double pulse READ pulse NOTIFY frameChanged)
    Q_PROPERTY(bool animated READ isAnimated NOTIFY animatedChanged)

public:
    using Kind = PillRules::Kind;
    using Clock = LevelSmoother::Clock;
    /// The wave's frame interval: 30 frames a second at most. The dot breathes with these frames too, so that
    /// nothing else makes the window draw.
    static constexpr std::chrono::milliseconds frameInterval { 33 };

    PillView(const DictationState& dictation, const Settings& settings, const InputAccess& inputAccess,
        QObject* parent = nullptr);

    Kind kind() const { return m_kind; }
    int kindIndex() const { return int(m_kind); }
    QString glyph() const;
    QString label() const;
    QString tooltip() const;
    QString elapsed() const { return m_elapsed; }
    QList<qreal> bars() const { return m_bars; }
    /// The listening dot's opacity: breathing with the wave's frames, steady without motion.
    double pulse() const { return m_pulse; }

    /// Animations allowed: the pill is on screen and the desktop does not ask for reduced motion.
    bool isAnimated() const { return m_visible && !m_reduceMotion; }
    void setReduceMotion(bool reduce);
    /// Whether the pill is on screen; a hidden pill draws no frames.
    void setVisible(bool visible);

    bool isWaveRunning() const { return m_frames.isActive(); }
    bool isClockRunning() const { return m_clock.isActive(); }

    Q_INVOKABLE void toggle() { Q_EMIT toggleRequested(); }
    Q_INVOKABLE void submit() { Q_EMIT submitRequested(); }
    Q_INVOKABLE void cancel() { Q_EMIT cancelRequested(); }

Q_SIGNALS:
    void kindChanged();
    void contentChanged();
    void elapsedChanged();
    /// A new frame of the listening pill: its bars or its dot's pulse.
    void frameChanged();
    void animatedChanged();
    /// A click on the pill: start a dictation, or finish the one recording.
    void toggleRequested();
    /// Stop: finish the recording.
    void submitRequested();
    /// Cancel: discard the recording.
    void cancelRequested();

private:
    void follow();
    void tick();
    void drawFrame();
    void updateElapsed();
    void setFrame(QList<qreal> bars, double pulse);

    const DictationState& m_dictation;
    const Settings& m_settings;
    const InputAccess& m_inputAccess;
    Kind m_kind = Kind::idle;
    bool m_visible = false;
    bool m_reduceMotion = false;
    QString m_elapsed;
    QString m_progress;
    QList<qreal> m_bars;
    double m_pulse = 1;
    LevelSmoother m_smoother;
    Clock::time_point m_waveStart;
    QTimer m_frames;
    QTimer m_clock;
};

} // namespace kavo
