#pragma once

// Lookup tables of the serial-number module. Each is built once, on first use
// (thread-safe), and read-only afterwards; DescriptorMap is also built when the
// library is loaded. Where an initial list names a key twice, the first entry counts.

#include <kvapi/kvapi.h>

#include <map>
#include <string>
#include <utility>

namespace kv {
namespace serialtables {

using CameraSensor = std::pair<ICamera::Model, ISensor::Model>;

// Camera model to camera-line code.
const std::map<ICamera::Model, std::string>& CameraModelNames();
// Camera-line code to camera model, for every line but "BC".
const std::map<std::string, ICamera::Model>& CameraModelFromStr();
// Sensor text to camera model within the "BC" line.
const std::map<std::string, ICamera::Model>& BCModels();
// Sensor text to sensor model.
const std::map<std::string, ISensor::Model>& sensorModelMap();
// Camera and sensor model to sensor text.
const std::map<CameraSensor, std::string>& names();
// Camera model and the sensor's own identifier to sensor model.
const std::map<std::pair<ICamera::Model, unsigned char>, ISensor::Model>& ids();
// Model code ("BR694") to camera and sensor model.
const std::map<std::string, CameraSensor>& DescriptorMap();

// Code of the reserved camera model 2, unlike every other code.
extern const char* const c_reserved2Code;

} // namespace serialtables
} // namespace kv
