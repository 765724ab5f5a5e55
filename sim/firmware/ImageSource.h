#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "firmware/CameraConfig.h"
#include "firmware/VirtualSensor.h"

namespace kvsim {

// Where the pixels of an exposure come from, for image transfer: a test
// pattern, a synthetic star field, a file. The firmware asks once per
// exposure, when the image is read out.
class ImageSource {
public:
    virtual ~ImageSource() = default;
    // The pixels of one exposure, row after row, for the subframe and binning
    // it was taken with: (width / binX) x (height / binY) values.
    virtual std::vector<uint16_t> render(const SensorConfig& sensor, const ExposureRecord& exposure) = 0;
};

using ImageSourcePtr = std::shared_ptr<ImageSource>;

} // namespace kvsim
