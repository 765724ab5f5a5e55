#include "protocol/GetSensorCalibrationResponseBody.h"

namespace kv {
namespace V1 {

GetSensorCalibrationResponseBody::GetSensorCalibrationResponseBody()
    : SensorCalibrationBody(BodyType::GetSensorCalibration, "Response Data")
{
}

GetSensorCalibrationResponseBody::GetSensorCalibrationResponseBody(IOBufferPtr buffer)
    : GetSensorCalibrationResponseBody()
{
    SensorCalibrationBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
