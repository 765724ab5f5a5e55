#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <kvapi/kvapi.h>

#include "firmware/Faults.h"

namespace kvsim {

// One image sensor: what it reports about itself and how it behaves.
struct SensorConfig {
    std::string name = "ICX694";  // sensor name as in serial texts ("694", "IMX455" ...), for people
    uint8_t modelId = 2;          // the model byte the sensor reports in GetSensorInfo
    uint16_t pixelsX = 2750;
    uint16_t pixelsY = 2200;
    uint8_t readoutChannels = 1;
    kv::EFilterType filterType = kv::Monochrome;
    kv::EFrameType frameType = kv::Interline;
    float pixelSizeX = 4.54f; // micrometres
    float pixelSizeY = 4.54f;
    bool hasRbiPreflash = false;
    uint8_t flag = 0;
    int8_t coolerSetpointMin = -50; // degrees Celsius
    int8_t coolerSetpointMax = 25;
    uint8_t maxBinX = 4;
    uint8_t maxBinY = 4;
    float exposurePrecision = 0.0001f; // seconds
    float minExposure = 0.0001f;       // seconds
    float maxExposure = 3600.0f;       // seconds
    uint32_t readoutModes = 1;         // number of readout modes the sensor offers
    double pixelRate = 10e6;           // pixels read out per second
    bool legacyCalibration = true;     // answers GetSensorCalibration / SetSensorCalibration
    kv::ISensor::Calibration calibration;
    // Values AnalogGain0 and AnalogGain1 accept (empty: any 16-bit value) and their defaults.
    std::vector<int> adjustableGains0;
    std::vector<int> adjustableGains1;
    int defaultGain0 = 0;
    int defaultGain1 = 0;
};

struct ThermalConfig {
    float ambient = 20.0f;     // heat-sink temperature with the cooler off, degrees Celsius
    float maxDelta = 45.0f;    // largest difference the cooler holds below ambient
    float coolingRate = 0.5f;  // degrees per second toward a lower set-point
    float warmingRate = 0.3f;  // degrees per second toward a higher one
};

struct FilterWheelConfig {
    bool present = false;
    uint8_t hardwareId = 65;            // FW8-8300
    uint32_t slots = 0;                 // 0: the number the hardware id implies
    uint32_t slotMoveMs = 250;          // time per slot moved
    std::vector<uint8_t> children;      // hardware ids of the wheels stacked behind it
};

struct AdaptiveOpticsConfig {
    kv::IAO::Model model = kv::IAO::InvalidAOModel; // InvalidAOModel: no unit attached
    uint32_t settleMs = 5;                          // busy time of every move
    uint32_t stepMicroseconds = 10;                 // and per step on the longer axis
};

struct WifiConfig {
    std::string ssid;
    std::string password;
    kv::ENetworkMode mode = kv::AdHoc;
    bool usaCanadaMode = false;
    bool hexPassword = false;
};

// Everything that makes one virtual camera. Presets fill it; a YAML file or
// command-line flags change it.
struct CameraConfig {
    std::string preset;  // name of the preset it started from
    kv::ICamera::Model model = kv::ICamera::Brisa;
    uint32_t serialNumber = 0;
    uint16_t firmwareRevision = 21;
    uint16_t wifiFirmwareRevision = 0;
    std::vector<SensorConfig> sensors;
    // Answers to capability queries, for every hardware capability 0 to 21.
    std::map<kv::ICamera::Capability, bool> capabilities;
    // Whether the firmware knows GetCameraCapability and GetCoolerState; unset,
    // it follows from the model and the firmware revision (see Presets).
    std::optional<bool> answersCapabilityQueries;
    std::optional<bool> answersCoolerState;
    std::map<uint8_t, int16_t> options;   // factory options that exist, with their values
    WifiConfig wifi;
    float inputVoltage = 12.0f;
    ThermalConfig thermal;
    FilterWheelConfig filterWheel;
    AdaptiveOpticsConfig adaptiveOptics;
    uint32_t shutterMoveMs = 50; // time the mechanical shutter takes to open or close
    FaultSettings faults;        // faults in force from the start
};

} // namespace kvsim
