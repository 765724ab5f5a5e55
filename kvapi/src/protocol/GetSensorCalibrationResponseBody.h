#pragma once

#include "protocol/SensorCalibrationBody.h"

namespace kv {
namespace V1 {

// Answer to GetSensorCalibration: the sensor's legacy calibration values.
class GetSensorCalibrationResponseBody : public SensorCalibrationBody {
public:
    GetSensorCalibrationResponseBody();
    explicit GetSensorCalibrationResponseBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
