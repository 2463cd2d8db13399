#include "pill_rules.h"

#include "hotkey/hotkey_kind.h"

#include <QEasingCurve>
#include <QRegularExpression>

#include <cmath>

namespace kavo {

PillRules::Kind PillRules::kind(DictationState::Phase phase, bool hasDoneText)
{
    switch (phase) {
    case DictationState::Phase::recording:
        return Kind::listening;
    case DictationState::Phase::working:
        return Kind::thinking;
    case DictationState::Phase::failed:
        return Kind::failed;
    case DictationState::Phase::idle:
        break;
    }
    return hasDoneText ? Kind::done : Kind::idle;
}

QString PillRules::idleTooltip(HotkeyKind hotkey, HotkeyMode mode)
{
    const QString label = HotkeyKinds::label(hotkey);
    return mode == HotkeyMode::toggle ? tr("Click to record, or press %1").arg(label)
                                      : tr("Click to record, or hold %1").arg(label);
}

QString PillRules::shortMessage(const QString& message)
{
    QString text = message.trimmed();
    if (text.isEmpty())
        return tr("Something went wrong");
    static const QRegularExpression sentenceEnd(QStringLiteral("[.!?](\\s|$)"));
    const QRegularExpressionMatch end = sentenceEnd.match(text);
    if (end.hasMatch())
        text = text.left(end.capturedStart());
    if (text.size() <= 40)
        return text;
    text = text.left(40);
    const qsizetype space = text.lastIndexOf(u' ');
    if (space >= 21)
        text = text.left(space);
    static const QRegularExpression edges(QStringLiteral("^[\\s\\p{P}]+|[\\s\\p{P}]+$"));
    return text.remove(edges) + QStringLiteral("…");
}

QString PillRules::failedTooltip(const QString& message)
{
    return message.isEmpty() ? tr("Something went wrong") : message;
}

QString PillRules::elapsedText(double seconds)
{
    const auto whole = static_cast<qint64>(std::floor(std::max(0.0, seconds)));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

double PillRules::waveTarget(double level)
{
    return std::clamp((level - 0.2) / 0.55, 0.0, 1.0);
}

double PillRules::barFraction(int index, double seconds, double smoothed, double target, bool animated)
{
    if (!animated)
        return target * 0.75 + 0.25;
    const double phase = (seconds + 0.09 * index) / (0.6 + 0.14 * (index % 4));
    const double fraction = phase - std::floor(phase);
    const double triangle = fraction < 0.5 ? 2 * fraction : 2 - 2 * fraction;
    // Drawn for every bar of every frame: the curve is made once.
    static const QEasingCurve easeInOut(QEasingCurve::InOutQuad);
    return smoothed * 0.75 * easeInOut.valueForProgress(triangle) + 0.25;
}

bool PillRules::isDrag(QPointF from, QPointF to)
{
    return std::hypot(to.x() - from.x(), to.y() - from.y()) >= dragDistance;
}

QRectF PillRules::frame(std::optional<QPointF> anchor, double width, const QRectF& current,
    const QList<QRectF>& screens, const QList<QRectF>& availableAreas, const QRectF& fallback)
{
    const QPointF point = anchor.value_or(QPointF(current.center().x(), current.bottom()));
    QRectF area = fallback;
    for (qsizetype index = 0; index < screens.size() && index < availableAreas.size(); ++index) {
        if (screens[index].contains(point)) {
            area = availableAreas[index];
            break;
        }
    }
    // Qt's y grows downward: the anchor is the bottom edge, and the frame stays between the area's top and bottom.
    const double left = std::clamp(point.x() - width / 2, area.left(), std::max(area.left(), area.right() - width));
    const double top = std::clamp(point.y() - height, area.top(), std::max(area.top(), area.bottom() - height));
    return QRectF(std::round(left), std::round(top), width, height);
}

QPointF PillRules::defaultAnchor(const QRectF& primaryAvailable)
{
    return { primaryAvailable.center().x(), primaryAvailable.bottom() - defaultMargin };
}

} // namespace kavo
