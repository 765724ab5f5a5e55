#include "firmware/ManualClock.h"

namespace kvsim {

// Starts an hour after the epoch, so that nothing sits at time zero.
ManualClock::ManualClock() : m_ticks(std::chrono::duration_cast<Duration>(std::chrono::hours(1)).count()) {}

TimePoint ManualClock::now() const
{
    return TimePoint(Duration(m_ticks.load()));
}

void ManualClock::advance(Duration step)
{
    m_ticks.fetch_add(step.count());
}

} // namespace kvsim
