#pragma once

#include <atomic>

#include "firmware/Clock.h"

namespace kvsim {

// Time that moves only when told to. Safe to advance from one thread while the
// camera reads it on another.
class ManualClock : public Clock {
public:
    ManualClock();

    TimePoint now() const override;
    void advance(Duration step);

private:
    std::atomic<Duration::rep> m_ticks;
};

using ManualClockPtr = std::shared_ptr<ManualClock>;

} // namespace kvsim
