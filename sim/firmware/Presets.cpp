#include "firmware/Presets.h"

#include "KVSerialNumbers/SerialNumbers.h"
#include "firmware/Capabilities.h"

#include <kvapi/kvapi_factory.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace kvsim {
namespace Presets {

using kv::ICamera;

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::vector<int> range(int first, int last, int step)
{
    std::vector<int> values;
    for (int v = first; v <= last; v += step)
        values.push_back(v);
    return values;
}

uint32_t serialOf(const std::string& text)
{
    const auto decoder = kv::SerialDecoderFactory::create(text);
    return decoder ? static_cast<uint32_t>(static_cast<size_t>(*decoder)) : 0;
}

kv::ISensor::Calibration ccdCalibration()
{
    kv::ISensor::Calibration c;
    c.substrateVoltage = 120;
    c.channelsInUse = 1;
    c.adcGains[0] = 32;
    c.adcOffsets[0] = -12;
    c.eGain = 0.27f;
    return c;
}

SensorConfig icx694()
{
    SensorConfig s;
    s.name = "ICX694";
    s.modelId = 2;
    s.pixelsX = 2750;
    s.pixelsY = 2200;
    s.readoutChannels = 1;
    s.frameType = kv::Interline;
    s.pixelSizeX = s.pixelSizeY = 4.54f;
    s.coolerSetpointMin = -50;
    s.coolerSetpointMax = 25;
    s.maxBinX = s.maxBinY = 4;
    s.exposurePrecision = 0.0001f;
    s.minExposure = 0.0001f;
    s.readoutModes = 5;
    s.pixelRate = 6e6;
    s.calibration = ccdCalibration();
    return s;
}

SensorConfig kaf8300()
{
    SensorConfig s;
    s.name = "KAF8300";
    s.modelId = 11;
    s.pixelsX = 3448;
    s.pixelsY = 2574;
    s.frameType = kv::Progressive;
    s.pixelSizeX = s.pixelSizeY = 5.4f;
    s.hasRbiPreflash = true;
    s.maxBinX = s.maxBinY = 4;
    s.exposurePrecision = 0.001f;
    s.minExposure = 0.01f;
    s.readoutModes = 1;
    s.pixelRate = 4e6;
    s.calibration = ccdCalibration();
    return s;
}

SensorConfig cmos(const std::string& name, uint8_t modelId, uint16_t x, uint16_t y, float pixel, uint32_t modes)
{
    SensorConfig s;
    s.name = name;
    s.modelId = modelId;
    s.pixelsX = x;
    s.pixelsY = y;
    s.readoutChannels = 2;
    s.frameType = kv::RollingShutter;
    s.pixelSizeX = s.pixelSizeY = pixel;
    s.coolerSetpointMin = -35;
    s.coolerSetpointMax = 25;
    s.maxBinX = s.maxBinY = 1;
    s.exposurePrecision = 0.00001f;
    s.minExposure = 0.00002f;
    s.readoutModes = modes;
    s.pixelRate = 200e6;
    s.legacyCalibration = false;
    s.calibration = kv::ISensor::Calibration();
    return s;
}

SensorConfig gsense4040()
{
    SensorConfig s = cmos("GSENSE4040", 0, 4096, 4096, 9.0f, 4);
    s.adjustableGains0 = range(100, 1650, 50);
    s.adjustableGains1 = range(40, 240, 20);
    s.adjustableGains1.push_back(250);
    const auto upper = range(260, 660, 20);
    s.adjustableGains1.insert(s.adjustableGains1.end(), upper.begin(), upper.end());
    s.defaultGain0 = 1650;
    s.defaultGain1 = 250;
    return s;
}

SensorConfig gsense2020()
{
    SensorConfig s = cmos("GSENSE2020", 0, 2048, 2048, 6.5f, 6);
    s.adjustableGains0 = s.adjustableGains1 = range(100, 1300, 50);
    s.defaultGain0 = 1050;
    s.defaultGain1 = 150;
    return s;
}

std::vector<int> imxGains()
{
    return {100, 125, 150, 175, 200, 225, 250, 275, 300, 325, 350, 400, 450, 500,
            600, 700, 800, 900, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 5000, 6000, 6300};
}

SensorConfig imx455()
{
    SensorConfig s = cmos("IMX455", 4, 9576, 6388, 3.76f, 2);
    s.maxBinX = s.maxBinY = 4;
    s.pixelRate = 120e6;
    s.adjustableGains0 = s.adjustableGains1 = imxGains();
    s.defaultGain0 = 300;
    s.defaultGain1 = 100;
    return s;
}

SensorConfig imx461()
{
    SensorConfig s = cmos("IMX461", 5, 11664, 8750, 3.76f, 2);
    s.maxBinX = s.maxBinY = 4;
    s.pixelRate = 120e6;
    s.adjustableGains0 = s.adjustableGains1 = imxGains();
    s.defaultGain0 = 300;
    s.defaultGain1 = 100;
    return s;
}

SensorConfig p1300()
{
    SensorConfig s = cmos("P1300", 0, 1280, 1024, 4.8f, 1);
    s.readoutChannels = 1;
    s.frameType = kv::GlobalShutter;
    s.pixelRate = 60e6;
    // Bins 2 x 2 itself; the host bins further.
    s.maxBinX = s.maxBinY = 2;
    // The one CMOS sensor the library asks for the legacy calibration record.
    s.legacyCalibration = true;
    s.calibration.channelsInUse = 1;
    s.calibration.adcGains[0] = 16;
    s.calibration.adcOffsets[0] = 5;
    s.calibration.eGain = 0.5f;
    return s;
}

SensorConfig imx428()
{
    SensorConfig s = cmos("IMX428", 1, 3208, 2200, 4.5f, 9);
    s.frameType = kv::GlobalShutter;
    // Bins 2 x 2 on the chip; binning 3 and 4 are finished on the host.
    s.maxBinX = s.maxBinY = 2;
    return s;
}

SensorConfig imx290()
{
    SensorConfig s = cmos("IMX290", 0, 1920, 1080, 2.9f, 1);
    s.filterType = kv::Color;
    s.maxBinX = s.maxBinY = 1;
    return s;
}

CameraConfig base(const std::string& name, ICamera::Model model, const std::string& serial, uint16_t firmware)
{
    CameraConfig c;
    c.preset = name;
    c.model = model;
    c.serialNumber = serialOf(serial);
    c.firmwareRevision = firmware;
    c.capabilities = Capabilities::defaultsFor(model);
    c.options[kv::Factory::IFactoryCamera::eCameraOptionHasShutter] = 1;
    c.options[kv::Factory::IFactoryCamera::eCameraOptionsOEMFlags] = 0;
    return c;
}

// Firmware new enough to be asked for its capabilities reports everything it has.
void addCapabilities(CameraConfig& c, std::initializer_list<ICamera::Capability> present)
{
    for (auto capability : present)
        c.capabilities[capability] = true;
}

CameraConfig brisa()
{
    CameraConfig c = base("Brisa", ICamera::Brisa, "BR694M-24011542", 21);
    c.wifiFirmwareRevision = 7;
    c.sensors = {icx694()};
    addCapabilities(c, {ICamera::eSupportsPeripheralInfo});
    c.options[kv::Factory::IFactoryCamera::eCameraOptionBrisaCCD] = 1;
    c.wifi.ssid = "BRISA-24011542";
    c.wifi.password = "";
    c.wifi.mode = kv::AdHoc;
    c.filterWheel.present = true;
    c.filterWheel.hardwareId = 65; // FW8-8300
    return c;
}

CameraConfig brisaCmos()
{
    CameraConfig c = base("BrisaCMOS", ICamera::BrisaCMOS, "BC4040M-000123-07", 6);
    c.sensors = {gsense4040()};
    c.thermal.maxDelta = 40.0f;
    c.filterWheel.present = true;
    c.filterWheel.hardwareId = 65;
    c.adaptiveOptics.model = kv::IAO::TT8;
    return c;
}

CameraConfig brisaBc2020()
{
    CameraConfig c = base("BrisaBC2020", ICamera::BrisaBC2020, "BC2020M-000045-03", 12);
    c.sensors = {gsense2020()};
    c.thermal.maxDelta = 40.0f;
    return c;
}

void addImxCapabilities(CameraConfig& c)
{
    addCapabilities(c, {ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                        ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsFilterWheel,
                        ICamera::eSupportsPrecisionCoolerPower, ICamera::eSupportsExtendedStartDownload,
                        ICamera::eSupportsInputVoltage, ICamera::eSupportsAdjustableGain,
                        ICamera::eSupportsPeripheralInfo, ICamera::eSupportsFibreXferProtocol,
                        ICamera::eSupportsMetadataKeys});
    c.options[kv::Factory::IFactoryCamera::eCameraOptionPlatform] = kv::Factory::IFactoryCamera::KintexUltraScalePlus;
}

CameraConfig brisaBc455()
{
    CameraConfig c = base("BrisaBC455", ICamera::BrisaBC455, "BC455M-000123-07", 30);
    c.sensors = {imx455()};
    addImxCapabilities(c);
    c.thermal.maxDelta = 35.0f;
    c.filterWheel.present = true;
    c.filterWheel.hardwareId = 56;    // FW7-MX
    c.filterWheel.children = {48};    // an FW5-MX behind it
    return c;
}

CameraConfig brisaBc461()
{
    CameraConfig c = base("BrisaBC461", ICamera::BrisaBC461, "BC461M-000077-01", 30);
    c.sensors = {imx461()};
    addImxCapabilities(c);
    c.thermal.maxDelta = 35.0f;
    c.adaptiveOptics.model = kv::IAO::TTX;
    return c;
}

CameraConfig vireo()
{
    CameraConfig c = base("Vireo", ICamera::Vireo, "VR1300M-000210-02", 2);
    c.sensors = {p1300()};
    return c;
}

// The Vireo's successor with the same sensor; its sensor has a single readout mode.
CameraConfig vireoE()
{
    CameraConfig c = base("VireoE", ICamera::VireoE, "VRE1300M-000033-01", 3);
    c.sensors = {p1300()};
    return c;
}

CameraConfig mtc()
{
    CameraConfig c = base("MTC", ICamera::MTC, "MTC428M-000031-05", 1);
    c.sensors = {imx428()};
    return c;
}

CameraConfig vireoC()
{
    CameraConfig c = base("VireoC", ICamera::VireoC, "VRC290C-000018-04", 1);
    c.sensors = {imx290()};
    return c;
}

struct CameraPreset {
    const char* name;
    CameraConfig (*make)();
};

const CameraPreset c_cameras[] = {
    {"Brisa", brisa},          {"BrisaCMOS", brisaCmos}, {"BrisaBC2020", brisaBc2020}, {"BrisaBC455", brisaBc455},
    {"BrisaBC461", brisaBc461}, {"Vireo", vireo},         {"VireoE", vireoE},           {"MTC", mtc},
    {"VireoC", vireoC},
};

struct SensorPreset {
    const char* name;
    SensorConfig (*make)();
};

const SensorPreset c_sensors[] = {
    {"ICX694", icx694}, {"KAF8300", kaf8300}, {"GSENSE4040", gsense4040}, {"GSENSE2020", gsense2020},
    {"IMX455", imx455}, {"IMX461", imx461},   {"P1300", p1300},           {"IMX428", imx428},
    {"IMX290", imx290},
};

} // namespace

std::vector<std::string> names()
{
    std::vector<std::string> result;
    for (const auto& preset : c_cameras)
        result.emplace_back(preset.name);
    return result;
}

bool exists(const std::string& name)
{
    return std::any_of(std::begin(c_cameras), std::end(c_cameras),
                       [&](const CameraPreset& p) { return lower(p.name) == lower(name); });
}

CameraConfig camera(const std::string& name)
{
    for (const auto& preset : c_cameras)
        if (lower(preset.name) == lower(name))
            return preset.make();
    throw std::invalid_argument("Unknown camera preset: " + name);
}

std::vector<std::string> sensorNames()
{
    std::vector<std::string> result;
    for (const auto& preset : c_sensors)
        result.emplace_back(preset.name);
    return result;
}

SensorConfig sensor(const std::string& name)
{
    for (const auto& preset : c_sensors)
        if (lower(preset.name) == lower(name))
            return preset.make();
    throw std::invalid_argument("Unknown sensor preset: " + name);
}

bool answersCapabilityQueries(const CameraConfig& config)
{
    if (config.answersCapabilityQueries)
        return *config.answersCapabilityQueries;
    // The revision from which the library asks.
    return config.firmwareRevision >= 18;
}

bool answersCoolerState(const CameraConfig& config)
{
    if (config.answersCoolerState)
        return *config.answersCoolerState;
    switch (config.model) {
    case ICamera::Brisa: return config.firmwareRevision > 22;
    case ICamera::BrisaCMOS: return config.firmwareRevision > 4;
    case ICamera::MTC: return config.firmwareRevision > 5;
    case ICamera::Vireo:
    case ICamera::VireoE:
    case ICamera::VireoC: return false;
    default: return true;
    }
}

} // namespace Presets
} // namespace kvsim
