#pragma once

#include <cstdint>

#include <kvapi/kvapi.h>

#include "firmware/Clock.h"

namespace kvsim {

// The guide port: a pulse keeps its axis busy for its duration (milliseconds).
// North and south share the Y axis, east and west the X axis.
class GuidePort {
public:
    // Longest pulse accepted.
    static constexpr uint32_t c_maxDurationMs = 60000;

    // A new pulse replaces a running one on its axis; abort stops it.
    kv::EStatusCode pulse(uint32_t direction, uint32_t durationMs, bool abort, TimePoint now);
    // PulseGuideStatus bits of the axes busy now. Firmware without per-axis
    // status sets the X bit for any running pulse.
    uint8_t busyBits(TimePoint now, bool perAxis) const;

private:
    TimePoint m_xDoneAt{};
    TimePoint m_yDoneAt{};
};

} // namespace kvsim
