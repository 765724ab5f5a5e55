#pragma once

#include "sensor/SensorSubframeAdjustments.h"

#include <cstdint>

namespace kv {

// IMX428: window edges on an 8-pixel grid; the camera bins 2 × 2 at most, so
// binning 3 is read unbinned and binning 4 as 2 × 2, the rest done on the host.
class SensorIMX428SubframeAdjustment : public ISensorSubframeAdjustment {
public:
    static constexpr uint32_t c_boundaryByte = 8;

    explicit SensorIMX428SubframeAdjustment(Sensor& sensor);

    // By binX only: 1 or 2 on the camera, 3 or 4 partly on the host, others unchanged.
    TSubframe adjust(TSubframe subframe) override;
    TSubframe adjust_hardware(TSubframe subframe);
    TSubframe adjust_software(TSubframe subframe);
    // Widens the window to the grid and keeps it on the sensor.
    void reframe(TSubframe& subframe);

    static bool pixelOnBoundary(uint32_t i) { return i % c_boundaryByte == 0; }
    static bool subframeOnBoundary(const TSubframe& subframe);
};

} // namespace kv
