#pragma once

#include "protocol/SensorSettingBody.h"

namespace kv {
namespace V1 {

// Answer to GetSensorSettings: the setting and its current value.
class GetSensorSettingsResponseBody : public SensorSettingBody {
public:
    GetSensorSettingsResponseBody();
    explicit GetSensorSettingsResponseBody(IOBufferPtr buffer);
};

} // namespace V1
} // namespace kv
