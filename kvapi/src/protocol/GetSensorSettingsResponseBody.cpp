#include "protocol/GetSensorSettingsResponseBody.h"

namespace kv {
namespace V1 {

GetSensorSettingsResponseBody::GetSensorSettingsResponseBody()
    : SensorSettingBody(BodyType::GetSensorSettings, "Response Data", " | Setting Value: ")
{
}

GetSensorSettingsResponseBody::GetSensorSettingsResponseBody(IOBufferPtr buffer)
    : GetSensorSettingsResponseBody()
{
    SensorSettingBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
