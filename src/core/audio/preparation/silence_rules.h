#pragma once

#include "audio/levels/mic_engine.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

/// What counts as a long pause and how much of it stays: shared by the trimmer that reads a whole recording and the
/// one that follows it as it is recorded, so that both cut the same frames.
namespace kavo::SilenceRules {

inline constexpr double windowSeconds = 0.02;
inline constexpr float silenceBelowDecibels = -45;
// A pause is long when it outlasts the kept margin by this much, and never when it is shorter than the floor.
inline constexpr double pauseBeyondMarginSeconds = 0.3;
inline constexpr double shortestLongPauseSeconds = 0.4;
inline constexpr double fallbackMinimumRunWindows = 20;

/// Frames per level window.
inline qsizetype windowFrames(int sampleRate)
{
    return std::max(qsizetype(sampleRate * windowSeconds), qsizetype(1));
}

/// The fewest consecutive silent windows that make a pause worth cutting.
inline double minimumRunWindows(double keepSeconds)
{
    const double pause = keepSeconds + pauseBeyondMarginSeconds;
    if (keepSeconds >= 0 && pause >= shortestLongPauseSeconds)
        return std::ceil(pause / windowSeconds);
    return fallbackMinimumRunWindows;
}

/// Whether a window whose samples' squares sum to `sumOfSquares` over `frames` frames is silent.
inline bool isSilent(double sumOfSquares, qsizetype frames)
{
    const double rms = std::sqrt(sumOfSquares / double(frames));
    const float level = rms == 0 ? MicEngine::silenceDecibels : float(20 * std::log10(rms));
    return level < silenceBelowDecibels;
}

/// The frames of margin kept around a cut, at most `limit`; a negative margin keeps none.
inline qsizetype marginFrames(double keepSeconds, int sampleRate, qsizetype limit)
{
    const double keep = keepSeconds > 0 ? keepSeconds : 0;
    return qsizetype(std::min(keep * sampleRate, double(limit)));
}

} // namespace kavo::SilenceRules
