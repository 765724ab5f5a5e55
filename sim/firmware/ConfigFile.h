#pragma once

#include <string>

#include <kvapi/kvapi.h>

#include "firmware/CameraConfig.h"

namespace kvsim {

// A camera described by a small YAML file:
//
//   preset: BrisaBC455          # the starting point; Brisa when absent
//   serial: BC455M-000123-07    # a serial text, or the 32-bit number
//   firmware: 30
//   wifiFirmware: 0
//   sensors:                    # a list of sensors, or just how many
//     - preset: IMX455          # each starts from a sensor preset, or from
//       pixels: [6000, 4000]    # the camera preset's sensor of that index
//   capabilities: { eSupportsWiFi: true }
//   filterWheel: { present: true, id: 65, slotMoveMs: 250, children: [48] }
//   adaptiveOptics: { model: TTX }
//   faults: { dropAnswers: 0.1, answerDelayMs: 20 }
//
// The other keys are listed in the README of the daemon (kvsim --help).
namespace ConfigFile {

// std::runtime_error naming the file and the problem.
CameraConfig load(const std::string& path);
CameraConfig parse(const std::string& text);

// Names used in files and on the command line; std::invalid_argument when unknown.
kv::ICamera::Model modelFromName(const std::string& name); // "BrisaBC455" or a number
std::string modelName(kv::ICamera::Model model);
kv::EStatusCode statusFromName(const std::string& name); // "DeviceBusy" or a number
// A serial text (V1 or V2) or a decimal number.
uint32_t serialFromText(const std::string& text);

} // namespace ConfigFile
} // namespace kvsim
