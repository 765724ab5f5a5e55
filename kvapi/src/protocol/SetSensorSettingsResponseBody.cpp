#include "protocol/SetSensorSettingsResponseBody.h"

namespace kv {
namespace V1 {

SetSensorSettingsResponseBody::SetSensorSettingsResponseBody()
    : SensorSettingBody(BodyType::SetSensorSettings, "Response Data", " | Setting Value: ")
{
}

SetSensorSettingsResponseBody::SetSensorSettingsResponseBody(IOBufferPtr buffer)
    : SetSensorSettingsResponseBody()
{
    SensorSettingBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
