#include "protocol/SetSensorSettingsRequestBody.h"

namespace kv {
namespace V1 {

SetSensorSettingsRequestBody::SetSensorSettingsRequestBody()
    : SensorSettingBody(BodyType::SetSensorSettings, "Request Data", " | Value: ")
{
}

SetSensorSettingsRequestBody::SetSensorSettingsRequestBody(IOBufferPtr buffer)
    : SetSensorSettingsRequestBody()
{
    SensorSettingBody::setBuffer(buffer);
}

} // namespace V1
} // namespace kv
