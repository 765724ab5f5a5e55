#include "firmware/GuidePort.h"

namespace kvsim {

kv::EStatusCode GuidePort::pulse(uint32_t direction, uint32_t durationMs, bool abort, TimePoint now)
{
    if (direction > kv::West)
        return kv::InvalidParameter;
    if (!abort && durationMs > c_maxDurationMs)
        return kv::InvalidParameter;
    TimePoint& doneAt = (direction == kv::North || direction == kv::South) ? m_yDoneAt : m_xDoneAt;
    doneAt = abort ? now : now + std::chrono::milliseconds(durationMs);
    return kv::Success;
}

uint8_t GuidePort::busyBits(TimePoint now, bool perAxis) const
{
    const bool x = now < m_xDoneAt;
    const bool y = now < m_yDoneAt;
    if (!perAxis)
        return (x || y) ? kv::PulseGuideStatus::c_xBusy : 0;
    return static_cast<uint8_t>((x ? kv::PulseGuideStatus::c_xBusy : 0) | (y ? kv::PulseGuideStatus::c_yBusy : 0));
}

} // namespace kvsim
