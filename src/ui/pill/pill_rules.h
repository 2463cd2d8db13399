#pragma once

#include "dictation/dictation_state.h"
#include "store/config.h"

#include <QCoreApplication>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <optional>

namespace kavo {

/// The floating pill's rules, apart from any window: what it shows, its texts, the wave's bars, where it sits and
/// when a press is a click.
class PillRules
{
    Q_DECLARE_TR_FUNCTIONS(PillRules)

public:
    enum class Kind { idle, listening, thinking, done, failed };

    static constexpr double height = 52;
    /// A press that moves less than this is a click; from this on it drags the pill.
    static constexpr double dragDistance = 3;
    /// How far above the bottom of the primary screen's available area the pill sits by default.
    static constexpr double defaultMargin = 24;
    static constexpr int barCount = 14;

    static Kind kind(DictationState::Phase phase, bool hasDoneText);
    /// The idle pill's tooltip: how to start a dictation.
    static QString idleTooltip(HotkeyKind hotkey, HotkeyMode mode);
    /// A failure message cut to its first sentence and at most 40 characters, for the pill.
    static QString shortMessage(const QString& message);
    /// The failed pill's tooltip: the whole message.
    static QString failedTooltip(const QString& message);
    /// Minutes and two-digit seconds of the whole seconds elapsed, never negative: "0:07", "12:34".
    static QString elapsedText(double seconds);
    /// How far toward full the level moves the bars, 0..1.
    static double waveTarget(double level);
    /// Bar `index`'s height as a fraction of the wave's height: moving with time `seconds` around the smoothed
    /// level when animated, standing at the target's height when not.
    static double barFraction(int index, double seconds, double smoothed, double target, bool animated);
    static bool isDrag(QPointF from, QPointF to);
    /// The pill's frame for its bottom-centre `anchor` (none: where `current` is), kept inside the available area
    /// of the screen holding the point, else the current screen's (`fallback`).
    static QRectF frame(std::optional<QPointF> anchor, double width, const QRectF& current,
        const QList<QRectF>& screens, const QList<QRectF>& availableAreas, const QRectF& fallback);
    /// The default anchor: centred, `defaultMargin` above the bottom of the primary screen's available area.
    static QPointF defaultAnchor(const QRectF& primaryAvailable);
};

} // namespace kavo
