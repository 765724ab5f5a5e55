#pragma once

#include <cstdint>
#include <string>

// Names used by the log renderings of the sensor and image-transfer bodies. Codes come
// straight from the wire; unknown ones render empty.
namespace kv {
namespace V1 {
namespace StringMaps {

const char* mapSensorModelToString(uint32_t model);
const char* mapFilterTypeToString(uint32_t filterType);
const char* mapFrameTypeToString(uint32_t frameType);
const char* mapSensorSettingToString(uint32_t setting);

} // namespace StringMaps
} // namespace V1
} // namespace kv
