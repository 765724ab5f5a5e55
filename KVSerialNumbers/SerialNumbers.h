#pragma once

// Serial numbers of the cameras and the names of camera lines and sensors.
//
// A serial number has a 32-bit numeric form (what the camera stores) and a text
// form such as BR694M-24011542 (format V1, production date and index) or
// BC4040C-000123-07 (format V2, production number and index). The numeric form
// carries neither the camera model nor the sensor model, so decoding a number
// needs both; the text names them.

#include "KVSerialNumbers/ColorCodes.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>
#include <utility>

namespace kv {

// Letters of a camera line ("BR", "BC", "MTC"...); "??" for an unknown model.
std::string GetCameraModelName(ICamera::Model model);

// Camera model named by a camera-line code; the "BC" line is told apart by the
// sensor text. Unknown codes give Brisa.
ICamera::Model CameraModelFromString(const std::string& code, const std::string& sensor);

// Sensor model named by the sensor part of a serial text; InvalidSensorModel when unknown.
ISensor::Model SensorModelFromString(const std::string& sensor);

// Sensor part of a serial text for this camera and sensor; "???" when the pair is unknown.
std::string GetSensorName(ICamera::Model camera, ISensor::Model sensor);

// Sensor model from the one-byte identifier a sensor reports about itself.
ISensor::Model GetSensorModel(ICamera::Model camera, unsigned char id);

// "M", "C" or "S"; "?" for any other value.
std::string GetColorCode(ColorCodes color);

// Exactly "M", "C" or "S"; anything else gives InvalidColorCode.
ColorCodes ColorCodeFromString(const std::string& color);

// Camera and sensor model of a model code such as "BR694"; both invalid when unknown.
std::pair<ICamera::Model, ISensor::Model> GetCameraDescriptor(const std::string& modelCode);

// V1 serial word written at the factory from a colour, a date YYYYMMDD and an
// index. Every field is cut to its width so none can spill into another.
std::uint32_t MakeV1SerialNumber(std::uint32_t color, std::uint32_t date, std::uint32_t index);

} // namespace kv

#include "KVSerialNumbers/ISerialDecoder.h"
#include "KVSerialNumbers/SerialDecoderFactory.h"
#include "KVSerialNumbers/V1SerialDecoder.h"
#include "KVSerialNumbers/V2SerialDecoder.h"
