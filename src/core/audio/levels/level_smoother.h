#pragma once

#include <chrono>
#include <optional>

namespace kavo {

/// Eases a 0..1 display level over time, once per drawn frame: it rises quickly and falls slowly, so meter bars
/// follow speech without flickering.
class LevelSmoother
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::duration<double> risingTimeConstant { 0.06 };
    static constexpr std::chrono::duration<double> fallingTimeConstant { 0.18 };
    /// The longest step taken at once, so the first frame after a pause (a hidden pill) does not jump.
    static constexpr std::chrono::duration<double> longestStep { 0.1 };

    /// Moves the value toward `target` by the time passed since the previous step and returns it. The first
    /// step, and one whose time lies before the previous step, moves nothing.
    double step(double target, Clock::time_point now);
    double value() const { return m_value; }

private:
    double m_value = 0;
    std::optional<Clock::time_point> m_last;
};

} // namespace kavo
