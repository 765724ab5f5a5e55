#include "firmware/SteadyClock.h"

namespace kvsim {

TimePoint SteadyClock::now() const
{
    return std::chrono::steady_clock::now();
}

} // namespace kvsim
