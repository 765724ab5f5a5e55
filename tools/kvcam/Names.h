#pragma once

#include <kvapi/kvapi.h>

#include <optional>
#include <string>

namespace kvcam {

// Names of the public enumerations as people and scripts read them: the
// enumerator's own name, or "Unknown (N)" for a value the header lacks.
std::string cameraModelName(kv::ICamera::Model model);
std::string sensorModelName(kv::ISensor::Model model);
std::string sensorStateName(kv::ISensor::Status state);
std::string shutterName(kv::EShutterStatus status);
std::string filterTypeName(kv::EFilterType type);
std::string frameTypeName(kv::EFrameType type);
std::string networkModeName(kv::ENetworkMode mode);
std::string wheelStatusName(kv::IFW::Status status);
std::string aoStatusName(kv::IAO::Status status);
std::string aoModelName(kv::IAO::Model model);
std::string connectionTypeName(kv::EEndpointType type);

// The hardware capabilities 0 to 21 and the software binning mode.
struct CapabilityName {
    kv::ICamera::Capability capability;
    const char* name;  // enumerator, for JSON
    const char* label; // for people
};
const CapabilityName* capabilityNames(size_t& count);

// The sensor's hardware settings, 0 to 15.
struct SettingName {
    kv::ISensor::Setting setting;
    const char* name;
};
const SettingName* settingNames(size_t& count);
// A setting by name (any case) or number; empty when it is none of them.
std::optional<kv::ISensor::Setting> parseSetting(const std::string& text);

std::optional<kv::EPulseGuideDirection> parseDirection(const std::string& text);
std::string directionName(kv::EPulseGuideDirection direction);

// Lower-case copy, for names typed in any case.
std::string lower(std::string text);

} // namespace kvcam
