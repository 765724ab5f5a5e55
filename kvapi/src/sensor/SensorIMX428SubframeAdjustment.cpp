#include "sensor/SensorIMX428SubframeAdjustment.h"

#include "sensor/Sensor.h"

#include <algorithm>

namespace kv {

SensorIMX428SubframeAdjustment::SensorIMX428SubframeAdjustment(Sensor& sensor) : ISensorSubframeAdjustment(sensor) {}

TSubframe SensorIMX428SubframeAdjustment::adjust(TSubframe subframe)
{
    switch (subframe.binX) {
    case 1:
    case 2:
        return adjust_hardware(subframe);
    case 3:
    case 4:
        return adjust_software(subframe);
    default:
        return subframe;
    }
}

TSubframe SensorIMX428SubframeAdjustment::adjust_hardware(TSubframe subframe)
{
    TSubframe r = subframe;
    reframe(r);
    return r;
}

TSubframe SensorIMX428SubframeAdjustment::adjust_software(TSubframe s)
{
    using SubframeMath::scaled;
    const int32_t dx = s.binX == 3 ? 1 : 2;
    const int32_t dy = s.binY == 3 ? 1 : 2;
    TSubframe r = s;
    r.binX = dx;
    r.binY = dy;
    r.top = scaled(s.top, s.binY, dy);
    r.left = scaled(s.left, s.binX, dx);
    r.width = scaled(s.width, s.binX, dx);
    r.height = scaled(s.height, s.binY, dy);
    reframe(r);
    return r;
}

bool SensorIMX428SubframeAdjustment::subframeOnBoundary(const TSubframe& s)
{
    return pixelOnBoundary(static_cast<uint32_t>(s.top)) && pixelOnBoundary(static_cast<uint32_t>(s.left)) &&
           pixelOnBoundary(static_cast<uint32_t>(s.width)) && pixelOnBoundary(static_cast<uint32_t>(s.height));
}

namespace {

// The binned extent of one axis that fits between the window's start and the
// sensor's edge.
int32_t fitted(uint32_t extent, int32_t start, int32_t bin, uint32_t sensorPixels)
{
    const uint64_t used = std::min<uint64_t>(static_cast<uint64_t>(start) * bin, sensorPixels);
    const uint64_t available = sensorPixels - used;
    return static_cast<int32_t>(std::min<uint64_t>(static_cast<uint64_t>(extent) * bin, available) / bin);
}

} // namespace

void SensorIMX428SubframeAdjustment::reframe(TSubframe& r)
{
    if (subframeOnBoundary(r))
        return;
    constexpr uint32_t B = c_boundaryByte;
    // Unsigned arithmetic as the camera does it; a window starting before the
    // sensor wraps and is pulled back to 0 below.
    uint32_t top = static_cast<uint32_t>(r.top);
    uint32_t left = static_cast<uint32_t>(r.left);
    const uint32_t right = left + static_cast<uint32_t>(r.width);
    const uint32_t bottom = top + static_cast<uint32_t>(r.height);
    top -= top % B;
    left -= left % B;
    // An edge already on the grid still gains one block.
    const uint32_t width = (B - right % B) + (right - left);
    const uint32_t height = (B - bottom % B) + (bottom - top);
    r.binX = std::max(r.binX, 1);
    r.binY = std::max(r.binY, 1);
    r.top = std::max(static_cast<int32_t>(top), 0);
    r.left = std::max(static_cast<int32_t>(left), 0);
    const ISensor::Info info = m_ctx.getInfo();
    // The window ends at the sensor's edge rather than past it.
    r.width = fitted(width, r.left, r.binX, info.pixelsX);
    r.height = fitted(height, r.top, r.binY, info.pixelsY);
}

} // namespace kv
