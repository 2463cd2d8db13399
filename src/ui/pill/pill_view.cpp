#include "pill_view.h"

#include "state/input_access.h"
#include "store/settings.h"

#include <cmath>

namespace kavo {

namespace {

constexpr std::chrono::milliseconds second { 1000 };
// One breath of the listening dot, in seconds, and its faintest opacity.
constexpr double pulsePeriod = 1.4;
constexpr double faintestPulse = 0.35;

} // namespace

PillView::PillView(
    const DictationState& dictation, const Settings& settings, const InputAccess& inputAccess, QObject* parent)
    : QObject(parent)
    , m_dictation(dictation)
    , m_settings(settings)
    , m_inputAccess(inputAccess)
    , m_bars(PillRules::barCount, PillRules::barFraction(0, 0, 0, 0, false))
{
    m_frames.setInterval(frameInterval);
    m_frames.setTimerType(Qt::PreciseTimer);
    connect(&m_frames, &QTimer::timeout, this, &PillView::drawFrame);
    m_clock.setSingleShot(true);
    connect(&m_clock, &QTimer::timeout, this, &PillView::tick);

    for (const auto changed : { &DictationState::phaseChanged, &DictationState::doneTextChanged,
             &DictationState::messageChanged, &DictationState::stageChanged, &DictationState::recordingStartedChanged })
        connect(&dictation, changed, this, &PillView::follow);
    connect(&dictation, &DictationState::levelChanged, this, [this] {
        if (m_visible && m_kind == Kind::listening && !m_frames.isActive())
            drawFrame();
    });
    connect(&inputAccess, &InputAccess::grantedChanged, this, &PillView::contentChanged);
    connect(&settings, &Settings::hotkeyChanged, this, &PillView::contentChanged);
    connect(&settings, &Settings::hotkeyModeChanged, this, &PillView::contentChanged);
    follow();
}

QString PillView::glyph() const
{
    switch (m_kind) {
    case Kind::idle:
        return m_inputAccess.isGranted() ? QStringLiteral("mic") : QStringLiteral("mic-off");
    case Kind::listening:
        return {};
    case Kind::thinking:
        return QStringLiteral("sparkles");
    case Kind::done:
        return QStringLiteral("circle-check");
    case Kind::failed:
        return QStringLiteral("triangle-alert");
    }
    return {};
}

QString PillView::label() const
{
    switch (m_kind) {
    case Kind::listening:
        return tr("Listening");
    case Kind::thinking:
        return m_progress;
    case Kind::done:
        return m_dictation.doneText().value_or(QString());
    case Kind::failed:
        return PillRules::shortMessage(m_dictation.message());
    case Kind::idle:
        break;
    }
    return {};
}

QString PillView::tooltip() const
{
    if (m_kind == Kind::idle)
        return PillRules::idleTooltip(m_settings.hotkey(), m_settings.hotkeyMode());
    if (m_kind == Kind::failed)
        return PillRules::failedTooltip(m_dictation.message());
    return {};
}

void PillView::setReduceMotion(bool reduce)
{
    if (std::exchange(m_reduceMotion, reduce) == reduce)
        return;
    Q_EMIT animatedChanged();
    follow();
}

void PillView::setVisible(bool visible)
{
    if (std::exchange(m_visible, visible) == visible)
        return;
    Q_EMIT animatedChanged();
    follow();
}

void PillView::follow()
{
    const Kind kind = PillRules::kind(m_dictation.phase(), m_dictation.doneText().has_value());
    if (kind != m_kind) {
        m_kind = kind;
        if (kind == Kind::listening) {
            m_smoother = {};
            m_waveStart = Clock::now();
        }
        Q_EMIT kindChanged();
    }
    m_progress = kind == Kind::thinking ? m_dictation.processingMessage() : QString();
    Q_EMIT contentChanged();
    updateElapsed();

    const bool listening = m_visible && kind == Kind::listening;
    if (listening && isAnimated()) {
        if (!m_frames.isActive())
            m_frames.start();
    } else {
        m_frames.stop();
    }
    if (kind == Kind::listening)
        drawFrame();
    if (!m_visible || (kind != Kind::listening && kind != Kind::thinking))
        m_clock.stop();
    else
        tick();
}

void PillView::tick()
{
    if (m_kind == Kind::thinking) {
        const QString progress = m_dictation.processingMessage();
        if (progress != m_progress) {
            m_progress = progress;
            Q_EMIT contentChanged();
        }
        m_clock.start(second);
        return;
    }
    updateElapsed();
    // The next redraw falls when the next whole second has passed since the recording began.
    const qint64 passed = std::max<qint64>(0, m_dictation.recordingStarted().msecsTo(QDateTime::currentDateTime()));
    m_clock.start(std::chrono::milliseconds(second.count() - passed % second.count()));
}

void PillView::updateElapsed()
{
    const QDateTime started = m_dictation.recordingStarted();
    const QString elapsed = m_kind == Kind::listening && started.isValid()
        ? PillRules::elapsedText(started.msecsTo(QDateTime::currentDateTime()) / 1000.0)
        : PillRules::elapsedText(0);
    if (elapsed == m_elapsed)
        return;
    m_elapsed = elapsed;
    Q_EMIT elapsedChanged();
}

void PillView::drawFrame()
{
    const double target = PillRules::waveTarget(m_dictation.level());
    const bool animated = m_frames.isActive();
    const Clock::time_point now = Clock::now();
    const double smoothed = animated ? m_smoother.step(target, now) : target;
    const double seconds = std::chrono::duration<double>(now - m_waveStart).count();
    QList<qreal> bars(PillRules::barCount);
    for (int index = 0; index < PillRules::barCount; ++index)
        bars[index] = PillRules::barFraction(index, seconds, smoothed, target, animated);
    const double breath = 0.5 + 0.5 * std::cos(2 * M_PI * seconds / pulsePeriod);
    setFrame(std::move(bars), animated ? faintestPulse + (1 - faintestPulse) * breath : 1.0);
}

void PillView::setFrame(QList<qreal> bars, double pulse)
{
    if (bars == m_bars && pulse == m_pulse)
        return;
    m_bars = std::move(bars);
    m_pulse = pulse;
    Q_EMIT frameChanged();
}

} // namespace kavo
