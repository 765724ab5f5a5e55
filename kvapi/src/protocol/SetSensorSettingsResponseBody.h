#pragma once

#include "protocol/SensorSettingBody.h"

namespace kv {
namespace V1 {

// Answer to SetSensorSettings: the setting and the value the camera now holds.
class SetSensorSettingsResponseBody : public SensorSettingBody {
public:
    SetSensorSettingsResponseBody();
    explicit SetSensorSettingsResponseBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
