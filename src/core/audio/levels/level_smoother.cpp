#include "level_smoother.h"

#include <algorithm>
#include <cmath>

namespace kavo {

double LevelSmoother::step(double target, Clock::time_point now)
{
    std::chrono::duration<double> passed { 0 };
    if (m_last && now > *m_last)
        passed = std::min<std::chrono::duration<double>>(now - *m_last, longestStep);
    m_last = now;
    const auto timeConstant = m_value < target ? risingTimeConstant : fallingTimeConstant;
    m_value += (target - m_value) * (1 - std::exp(-passed / timeConstant));
    return m_value;
}

} // namespace kavo
