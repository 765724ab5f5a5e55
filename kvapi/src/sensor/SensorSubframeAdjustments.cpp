#include "sensor/SensorSubframeAdjustments.h"

#include "sensor/Sensor.h"
#include "sensor/SensorIMX428SubframeAdjustment.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kv {

namespace SubframeMath {

namespace {
int32_t saturate(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
} // namespace

int32_t scaled(int32_t a, int32_t b)
{
    return saturate(static_cast<int64_t>(a) * b);
}

int32_t scaled(int32_t a, int32_t b, int32_t divisor)
{
    if (divisor == 0)
        return scaled(a, b);
    return saturate(static_cast<int64_t>(a) * b / divisor);
}

} // namespace SubframeMath

using SubframeMath::scaled;

ISensorSubframeAdjustment::ISensorSubframeAdjustment(Sensor& sensor) : m_ctx(sensor) {}

ISensorSubframeAdjustment::~ISensorSubframeAdjustment() = default;

ISensorSubframeAdjustmentPtr ISensorSubframeAdjustment::getAdjustment(Sensor& sensor)
{
    switch (sensor.getInfo().model) {
    case ISensor::IMX428:
    case ISensor::IMX428_7:
        return std::make_shared<SensorIMX428SubframeAdjustment>(sensor);
    case ISensor::GSENSE4040:
    case ISensor::GSENSE4040BSI:
        return std::make_shared<SensorGSENSE4040SubframeAdjustment>(sensor);
    case ISensor::GSENSE2020:
        return std::make_shared<SensorGSENSE2020SubframeAdjustment>(sensor);
    case ISensor::P1300:
        return std::make_shared<SoftwareBinningSubframeAdjustment>(sensor);
    default:
        return std::make_shared<SensorDefaultSubframeAdjustment>(sensor);
    }
}

SensorDefaultSubframeAdjustment::SensorDefaultSubframeAdjustment(Sensor& sensor) : ISensorSubframeAdjustment(sensor) {}

TSubframe SensorDefaultSubframeAdjustment::adjust(TSubframe subframe)
{
    return subframe;
}

namespace {

// Whole rows, read from the first column.
void wholeRows(TSubframe& r, uint32_t sensorWidth)
{
    if (static_cast<uint32_t>(r.width) < sensorWidth)
        r.width = static_cast<int32_t>(sensorWidth);
    r.left = 0;
}

// No binning on the camera: binned rows become the unbinned rows they cover.
void unbinned(TSubframe& r)
{
    r.binX = 1;
    if (r.binY != 1) {
        r.top = scaled(r.top, r.binY);
        r.height = scaled(r.height, r.binY);
        r.binY = 1;
    }
}

} // namespace

SensorGSENSE4040SubframeAdjustment::SensorGSENSE4040SubframeAdjustment(Sensor& sensor)
    : ISensorSubframeAdjustment(sensor)
{
}

TSubframe SensorGSENSE4040SubframeAdjustment::adjust(TSubframe subframe)
{
    TSubframe r = subframe;
    wholeRows(r, m_ctx.getInfo().pixelsX);
    unbinned(r);
    return r;
}

SensorGSENSE2020SubframeAdjustment::SensorGSENSE2020SubframeAdjustment(Sensor& sensor)
    : ISensorSubframeAdjustment(sensor)
{
}

TSubframe SensorGSENSE2020SubframeAdjustment::adjust(TSubframe subframe)
{
    TSubframe r = subframe;
    wholeRows(r, m_ctx.getInfo().pixelsX);
    if (!m_onChipBinning)
        unbinned(r);
    return r;
}

SoftwareBinningSubframeAdjustment::SoftwareBinningSubframeAdjustment(Sensor& sensor)
    : ISensorSubframeAdjustment(sensor)
{
}

namespace {

// Splits one axis' binning between the camera (at most `limit`) and the host,
// whose remaining factor must divide the user's binning.
void splitBinning(int32_t& bin, int32_t& size, int32_t& offset, uint32_t limit)
{
    // A sensor that reports no limit still reads unbinned.
    const int64_t mx = std::max<uint32_t>(limit, 1);
    if (bin <= mx)
        return;
    if (mx > 1 && bin % mx == 0) {
        if (bin / mx <= mx) {
            size = scaled(size, static_cast<int32_t>(mx));
            offset = scaled(offset, static_cast<int32_t>(mx));
            bin = static_cast<int32_t>(bin / mx);
        } else {
            // bin / mx is beyond what the camera bins: it bins by its limit.
            size = scaled(size, bin, static_cast<int32_t>(mx));
            offset = scaled(offset, bin, static_cast<int32_t>(mx));
            bin = static_cast<int32_t>(mx);
        }
        return;
    }
    size = scaled(size, bin);
    offset = scaled(offset, bin);
    bin = 1;
}

} // namespace

TSubframe SoftwareBinningSubframeAdjustment::adjust(TSubframe subframe)
{
    TSubframe r = subframe;
    const auto limits = m_ctx.getMaxHardwareBinningXY();
    splitBinning(r.binX, r.width, r.left, limits.first);
    splitBinning(r.binY, r.height, r.top, limits.second);
    return r;
}

} // namespace kv
