#pragma once

#include "firmware/Clock.h"

namespace kvsim {

// Real time, for cameras that run on their own.
class SteadyClock : public Clock {
public:
    TimePoint now() const override;
};

} // namespace kvsim
