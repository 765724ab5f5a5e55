#pragma once

#include "protocol/TPeripheralInfo.h"

#include <cstdint>

// Names used by the log renderings of the camera and peripheral bodies. Codes come
// straight from the wire and are never validated, so every map has a fallback.
namespace kv {
namespace V1 {
namespace StringMaps {

const char* mapYesNo(bool value);
const char* mapCameraModelToString(uint32_t model);
const char* mapSensorStatusToString(uint32_t status);
const char* mapShutterStatusToString(uint32_t status);
const char* mapCapabilityToString(uint32_t capability);
const char* mapCameraOptionToString(uint32_t option);
const char* mapNetworkModeToString(uint32_t mode);
const char* mapPulseGuideDirectionToString(uint32_t direction);
const char* mapFWStatusToString(uint32_t status);
const char* mapAOModelToString(uint32_t model);
const char* mapAOStatusToString(uint32_t status);
const char* mapPeripheralTypeToString(PeripheralType type);

} // namespace StringMaps
} // namespace V1
} // namespace kv
