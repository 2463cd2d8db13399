#include "hotkey_monitor.h"

#include "store/log.h"
#include "store/raw_value.h"

namespace kavo {

HotkeyMonitor::HotkeyMonitor(SourceFactory makeSource, QObject* parent)
    : QObject(parent)
    , m_makeSource(std::move(makeSource))
{
    m_pendingStart.setSingleShot(true);
    m_pendingStart.setTimerType(Qt::PreciseTimer);
    connect(&m_pendingStart, &QTimer::timeout, this, &HotkeyMonitor::reachHold);
}

HotkeyMonitor::~HotkeyMonitor()
{
    if (m_source)
        m_source->stop();
}

void HotkeyMonitor::start()
{
    stop();
    m_source = m_makeSource();
    connect(m_source.get(), &InputEventSource::flagsChanged, this, &HotkeyMonitor::handleFlags);
    connect(m_source.get(), &InputEventSource::pressed, this, &HotkeyMonitor::handleOtherKey);
    const bool watching = m_source->start();
    m_inputProblem = watching ? QString() : m_source->problem();
    Log::write(QStringLiteral("hotkey monitor starting, kind=%1 accessibility=%2")
                   .arg(rawValue(kind), watching ? QStringLiteral("true") : QStringLiteral("false")));
    if (!watching)
        Log::write(QStringLiteral("global flagsChanged monitor could not be installed"));
}

void HotkeyMonitor::stop()
{
    if (m_source) {
        m_source->stop();
        m_source->disconnect(this);
        // The monitor may be stopped from a handler of the source's own signal: the source goes once that returns.
        m_source.release()->deleteLater();
    }
    m_pendingStart.stop();
    m_heldKind.reset();
    m_recording = false;
}

bool HotkeyMonitor::arms(const FlagsEvent& event) const
{
    const HotkeyChord chord = HotkeyKinds::chord(kind);
    return chord.isDown(event.flags) && (!chord.rightSuperKey || event.keyCode == HotkeyKeyCode::rightSuper);
}

void HotkeyMonitor::handleFlags(const FlagsEvent& event)
{
    if (mode == HotkeyMode::hold)
        handleHoldFlags(event);
    else
        handleToggleFlags(event);
}

void HotkeyMonitor::handleHoldFlags(const FlagsEvent& event)
{
    if (m_heldKind) {
        if (HotkeyKinds::chord(*m_heldKind).isDown(event.flags))
            return;
        // Released, or another modifier joined: either way the hold is over.
        m_heldKind.reset();
        m_pendingStart.stop();
        if (m_recording) {
            m_recording = false;
            Log::write(QStringLiteral("hotkey released, stopping"));
            Q_EMIT stopRequested();
        }
        return;
    }
    if (!arms(event))
        return;
    m_heldKind = kind;
    m_pendingStart.start(std::chrono::milliseconds(qint64(holdThreshold * 1000)));
}

void HotkeyMonitor::reachHold()
{
    if (!m_heldKind || m_recording)
        return;
    m_recording = true;
    Log::write(QStringLiteral("hold reached, starting dictation"));
    Q_EMIT startRequested();
}

void HotkeyMonitor::handleToggleFlags(const FlagsEvent& event)
{
    if (m_heldKind) {
        const HotkeyChord chord = HotkeyKinds::chord(*m_heldKind);
        if (chord.isDown(event.flags))
            return;
        if (event.flags & chord.up) {
            m_tapSpoiled = true;
            return;
        }
        m_heldKind.reset();
        if (!m_tapStarted)
            return;
        const auto held = Clock::now() - *std::exchange(m_tapStarted, std::nullopt);
        if (held < tapLimit && !m_tapSpoiled) {
            Log::write(QStringLiteral("hotkey tapped, toggling"));
            Q_EMIT toggleRequested();
        }
        return;
    }
    if (!arms(event))
        return;
    m_heldKind = kind;
    m_tapStarted = Clock::now();
    m_tapSpoiled = false;
}

void HotkeyMonitor::handleOtherKey(const PressEvent& event)
{
    const bool keyDown = event.type == PressEvent::Type::keyDown;
    if (keyDown && event.keyCode == HotkeyKeyCode::escape && (m_recording || m_externalRecording)) {
        Log::write(QStringLiteral("escape pressed, cancelling"));
        m_pendingStart.stop();
        m_heldKind.reset();
        m_recording = false;
        Q_EMIT cancelRequested();
        return;
    }
    if (!m_heldKind)
        return;
    if (mode == HotkeyMode::toggle) {
        m_tapSpoiled = true;
        return;
    }
    if (!keyDown && m_recording)
        return;
    m_pendingStart.stop();
    if (m_recording) {
        Log::write(QStringLiteral("another key pressed while holding, cancelling"));
        m_recording = false;
        Q_EMIT cancelRequested();
    }
}

} // namespace kavo
