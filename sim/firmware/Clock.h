#pragma once

#include <chrono>
#include <memory>

namespace kvsim {

using TimePoint = std::chrono::steady_clock::time_point;
using Duration = std::chrono::steady_clock::duration;

// The time the firmware model reads. Everything that evolves (cooling, moves,
// exposures, pulses) is computed from it when asked, so a test can drive time
// with a ManualClock instead of waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
};

using ClockPtr = std::shared_ptr<Clock>;

} // namespace kvsim
