#pragma once

#include <string>
#include <vector>

#include "firmware/CameraConfig.h"

namespace kvsim {
namespace Presets {

// Names of the camera presets: "Brisa", "BrisaCMOS", "BrisaBC2020", "BrisaBC455", ...
std::vector<std::string> names();
bool exists(const std::string& name);
// The preset of that name (letter case ignored); std::invalid_argument for an unknown one.
CameraConfig camera(const std::string& name);

// Names of the sensor presets: "ICX694", "GSENSE4040", "IMX455", ...
std::vector<std::string> sensorNames();
// std::invalid_argument for an unknown name.
SensorConfig sensor(const std::string& name);

// Whether the firmware answers capability queries and cooler-state queries:
// the configured value, or what the model's firmware of that revision does.
bool answersCapabilityQueries(const CameraConfig& config);
bool answersCoolerState(const CameraConfig& config);

} // namespace Presets
} // namespace kvsim
