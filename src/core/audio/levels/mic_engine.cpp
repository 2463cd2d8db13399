#include "mic_engine.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <utility>

namespace kavo::MicEngine {

namespace {

using Clock = std::chrono::steady_clock;

struct SpacedLevels
{
    QList<float> levels;
    Clock::time_point start;
    Clock::duration spacing;
    std::function<void(float)> delivery;
};

void deliverFrom(const std::shared_ptr<const SpacedLevels>& plan, qsizetype index, QObject* context)
{
    // The next level is booked before this one is handed over: the delivery may destroy the context, and a
    // timer bound to a destroyed context never fires. Deadlines count from the start, so delays do not add up.
    const qsizetype next = index + 1;
    if (next < plan->levels.size()) {
        const auto due = plan->start + next * plan->spacing;
        const auto wait = std::max(
            std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()), std::chrono::milliseconds::zero());
        QTimer::singleShot(
            wait, Qt::PreciseTimer, context, [plan, next, context] { deliverFrom(plan, next, context); });
    }
    plan->delivery(plan->levels[index]);
}

} // namespace

qsizetype Buffer::frameLength() const
{
    return channelCount < 1 ? 0 : static_cast<qsizetype>(samples.size()) / channelCount;
}

quint32 tapFrames(double sampleRate)
{
    return static_cast<quint32>(std::max(sampleRate / 10, 1.0));
}

QList<float> windowDecibels(const Buffer& buffer, double seconds)
{
    const qsizetype frames = buffer.frameLength();
    if (frames == 0 || buffer.sampleRate <= 0 || seconds <= 0)
        return {};
    // std::round rounds halves away from zero; more windows than frames would only repeat single frames.
    const double windows = std::round(frames / buffer.sampleRate / seconds);
    const auto count = static_cast<qsizetype>(std::clamp(windows, 1.0, static_cast<double>(frames)));
    const qsizetype step = (frames + count - 1) / count;

    QList<float> levels;
    levels.reserve(count);
    for (qsizetype start = 0; start < frames; start += step) {
        const qsizetype end = std::min(start + step, frames);
        double sumOfSquares = 0;
        for (qsizetype frame = start; frame < end; ++frame) {
            const double sample = buffer.samples[frame * buffer.channelCount];
            sumOfSquares += sample * sample;
        }
        const double rms = std::sqrt(sumOfSquares / static_cast<double>(end - start));
        levels.append(rms == 0 ? silenceDecibels : static_cast<float>(20 * std::log10(rms)));
    }
    return levels;
}

void deliverSpaced(
    const QList<float>& levels, const Buffer& buffer, QObject* context, std::function<void(float)> delivery)
{
    if (levels.isEmpty())
        return;
    const double duration = buffer.sampleRate > 0 ? buffer.frameLength() / buffer.sampleRate : 0;
    const auto spacing = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(duration / static_cast<double>(levels.size())));
    auto plan
        = std::make_shared<const SpacedLevels>(SpacedLevels { levels, Clock::now(), spacing, std::move(delivery) });
    // Timers need a Qt event loop, which an audio thread has not got: the schedule is set up on the context's
    // thread. An event posted to a context destroyed meanwhile is discarded with it.
    QMetaObject::invokeMethod(
        context, [plan = std::move(plan), context] { deliverFrom(plan, 0, context); }, Qt::QueuedConnection);
}

double displayValue(double decibels)
{
    // A level computed from broken samples (NaN) shows as silence rather than poisoning the meter.
    if (std::isnan(decibels))
        return 0;
    return std::clamp((decibels - displayFloorDecibels) / -displayFloorDecibels, 0.0, 1.0);
}

} // namespace kavo::MicEngine
