#pragma once

#include "protocol/SensorSettingBody.h"

namespace kv {
namespace V1 {

// Gives one sensor setting a new value.
class SetSensorSettingsRequestBody : public SensorSettingBody {
public:
    SetSensorSettingsRequestBody();
    explicit SetSensorSettingsRequestBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
