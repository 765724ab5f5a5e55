#include "firmware/ConfigFile.h"

#include "KVSerialNumbers/SerialNumbers.h"
#include "firmware/Capabilities.h"
#include "firmware/Presets.h"

#include <yaml-cpp/yaml.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kvsim {
namespace ConfigFile {

using kv::ICamera;

namespace {

struct ModelName {
    const char* name;
    ICamera::Model model;
};

const ModelName c_models[] = {
    {"Brisa", ICamera::Brisa},           {"BrisaPro", ICamera::BrisaPro},       {"Reserved2", ICamera::Reserved2},
    {"BrisaCMOS", ICamera::BrisaCMOS},   {"Vireo", ICamera::Vireo},             {"MTC", ICamera::MTC},
    {"BrisaBC2020", ICamera::BrisaBC2020}, {"VireoE", ICamera::VireoE},         {"VireoC", ICamera::VireoC},
    {"BrisaBC455", ICamera::BrisaBC455}, {"Reserved9", ICamera::Reserved9},     {"BrisaBC461", ICamera::BrisaBC461},
};

struct StatusName {
    const char* name;
    kv::EStatusCode status;
};

const StatusName c_statuses[] = {
    {"Success", kv::Success},
    {"ClientError", kv::ClientError},
    {"InvalidSoh", kv::InvalidSoh},
    {"InvalidHeaderType", kv::InvalidHeaderType},
    {"InvalidBodyType", kv::InvalidBodyType},
    {"InvalidFooterType", kv::InvalidFooterType},
    {"InvalidSensorId", kv::InvalidSensorId},
    {"InvalidMessageLength", kv::InvalidMessageLength},
    {"InvalidParameter", kv::InvalidParameter},
    {"UnsupportedBodyType", kv::UnsupportedBodyType},
    {"BadChecksum", kv::BadChecksum},
    {"DeviceError", kv::DeviceError},
    {"DeviceBusy", kv::DeviceBusy},
    {"ExposureInProgress", kv::ExposureInProgress},
    {"ReadoutInProgress", kv::ReadoutInProgress},
    {"ImageNotAvailable", kv::ImageNotAvailable},
    {"FeatureNotSupported", kv::FeatureNotSupported},
};

bool isNumber(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

unsigned long number(const std::string& text, unsigned long max, const char* what)
{
    if (!isNumber(text) || text.size() > 10)
        throw std::invalid_argument(std::string("Invalid ") + what + ": " + text);
    const unsigned long value = std::stoul(text);
    if (value > max)
        throw std::invalid_argument(std::string("Invalid ") + what + ": " + text);
    return value;
}

template <typename T>
T scalar(const YAML::Node& node, const char* key)
{
    try {
        return node.as<T>();
    } catch (const YAML::Exception&) {
        throw std::invalid_argument(std::string("Invalid value for '") + key + "'");
    }
}

template <typename T>
void read(const YAML::Node& map, const char* key, T& value)
{
    if (const YAML::Node node = map[key])
        value = scalar<T>(node, key);
}

// Values that the YAML parser would read as characters.
void readByte(const YAML::Node& map, const char* key, uint8_t& value)
{
    if (const YAML::Node node = map[key]) {
        const unsigned v = scalar<unsigned>(node, key);
        if (v > 255)
            throw std::invalid_argument(std::string("Invalid value for '") + key + "'");
        value = static_cast<uint8_t>(v);
    }
}

void readSignedByte(const YAML::Node& node, const char* key, int8_t& value)
{
    const int v = scalar<int>(node, key);
    if (v < -128 || v > 127)
        throw std::invalid_argument(std::string("Invalid value for '") + key + "'");
    value = static_cast<int8_t>(v);
}

template <typename T>
void readPair(const YAML::Node& map, const char* key, T& first, T& second)
{
    const YAML::Node node = map[key];
    if (!node)
        return;
    if (node.IsSequence() && node.size() == 2) {
        first = scalar<T>(node[0], key);
        second = scalar<T>(node[1], key);
    } else {
        first = second = scalar<T>(node, key);
    }
}

kv::EFilterType filterFromName(const std::string& name)
{
    if (name == "Monochrome")
        return kv::Monochrome;
    if (name == "Color")
        return kv::Color;
    if (name == "SparseColor")
        return kv::SparseColor;
    throw std::invalid_argument("Unknown filter type: " + name);
}

kv::EFrameType frameFromName(const std::string& name)
{
    static const char* const names[] = {"Progressive", "Interline", "BayerInterline", "RollingShutter",
                                        "GlobalShutter"};
    for (uint32_t i = 0; i < 5; ++i)
        if (name == names[i])
            return static_cast<kv::EFrameType>(i);
    throw std::invalid_argument("Unknown frame type: " + name);
}

kv::ENetworkMode networkModeFromName(const std::string& name)
{
    static const char* const names[] = {"AdHoc", "Open", "WEP", "WPA", "WPA2"};
    for (uint32_t i = 0; i < 5; ++i)
        if (name == names[i])
            return static_cast<kv::ENetworkMode>(i);
    throw std::invalid_argument("Unknown network mode: " + name);
}

kv::IAO::Model aoModelFromName(const std::string& name)
{
    if (name == "TT8")
        return kv::IAO::TT8;
    if (name == "TTX")
        return kv::IAO::TTX;
    if (name == "none")
        return kv::IAO::InvalidAOModel;
    throw std::invalid_argument("Unknown adaptive-optics model: " + name);
}

void readSensor(const YAML::Node& node, SensorConfig& s)
{
    if (const YAML::Node preset = node["preset"])
        s = Presets::sensor(scalar<std::string>(preset, "preset"));
    read(node, "name", s.name);
    readByte(node, "modelId", s.modelId);
    readPair(node, "pixels", s.pixelsX, s.pixelsY);
    readByte(node, "channels", s.readoutChannels);
    if (const YAML::Node filter = node["filter"])
        s.filterType = filterFromName(scalar<std::string>(filter, "filter"));
    if (const YAML::Node frame = node["frame"])
        s.frameType = frameFromName(scalar<std::string>(frame, "frame"));
    readPair(node, "pixelSize", s.pixelSizeX, s.pixelSizeY);
    read(node, "rbiPreflash", s.hasRbiPreflash);
    readByte(node, "flag", s.flag);
    if (const YAML::Node range = node["coolerSetpoint"]) {
        if (!range.IsSequence() || range.size() != 2)
            throw std::invalid_argument("'coolerSetpoint' takes [minimum, maximum]");
        readSignedByte(range[0], "coolerSetpoint", s.coolerSetpointMin);
        readSignedByte(range[1], "coolerSetpoint", s.coolerSetpointMax);
    }
    unsigned binX = s.maxBinX, binY = s.maxBinY;
    readPair(node, "maxBin", binX, binY);
    if (binX < 1 || binX > 255 || binY < 1 || binY > 255)
        throw std::invalid_argument("Invalid value for 'maxBin'");
    s.maxBinX = static_cast<uint8_t>(binX);
    s.maxBinY = static_cast<uint8_t>(binY);
    read(node, "exposurePrecision", s.exposurePrecision);
    read(node, "minExposure", s.minExposure);
    read(node, "maxExposure", s.maxExposure);
    read(node, "readoutModes", s.readoutModes);
    read(node, "pixelRate", s.pixelRate);
    read(node, "legacyCalibration", s.legacyCalibration);
    read(node, "gains0", s.adjustableGains0);
    read(node, "gains1", s.adjustableGains1);
    read(node, "defaultGain0", s.defaultGain0);
    read(node, "defaultGain1", s.defaultGain1);
    if (s.pixelsX == 0 || s.pixelsY == 0)
        throw std::invalid_argument("Invalid value for 'pixels'");
}

void readSensors(const YAML::Node& node, CameraConfig& c)
{
    if (node.IsScalar()) {
        // Just a count: copies of the first sensor.
        const unsigned count = scalar<unsigned>(node, "sensors");
        if (count > 2)
            throw std::invalid_argument("A camera has at most 2 sensors");
        const SensorConfig first = c.sensors.empty() ? SensorConfig() : c.sensors.front();
        c.sensors.assign(count, first);
        return;
    }
    if (!node.IsSequence())
        throw std::invalid_argument("'sensors' takes a list or a count");
    if (node.size() > 2)
        throw std::invalid_argument("A camera has at most 2 sensors");
    std::vector<SensorConfig> sensors;
    for (size_t i = 0; i < node.size(); ++i) {
        SensorConfig s = i < c.sensors.size() ? c.sensors[i] : (c.sensors.empty() ? SensorConfig() : c.sensors[0]);
        readSensor(node[i], s);
        sensors.push_back(s);
    }
    c.sensors = sensors;
}

void readFaults(const YAML::Node& node, FaultSettings& f)
{
    read(node, "dropAnswers", f.dropAnswers);
    read(node, "dropImageDatagrams", f.dropImageDatagrams);
    if (const YAML::Node delay = node["answerDelayMs"])
        f.answerDelay = std::chrono::milliseconds(scalar<unsigned>(delay, "answerDelayMs"));
    read(node, "silent", f.silent);
    if (const YAML::Node status = node["status"])
        f.status = statusFromName(scalar<std::string>(status, "status"));
    read(node, "statusCount", f.statusCount);
    read(node, "statusBodyType", f.statusBodyType);
    read(node, "foreignBefore", f.foreignBefore);
    read(node, "truncatedBefore", f.truncatedBefore);
    read(node, "seed", f.seed);
}

CameraConfig fromNode(const YAML::Node& root)
{
    if (!root.IsMap())
        throw std::invalid_argument("The file does not describe a camera");
    CameraConfig c = Presets::camera(root["preset"] ? scalar<std::string>(root["preset"], "preset") : "Brisa");
    if (const YAML::Node model = root["model"]) {
        c.model = modelFromName(scalar<std::string>(model, "model"));
        c.capabilities = Capabilities::defaultsFor(c.model);
    }
    if (const YAML::Node serial = root["serial"])
        c.serialNumber = serialFromText(scalar<std::string>(serial, "serial"));
    read(root, "firmware", c.firmwareRevision);
    read(root, "wifiFirmware", c.wifiFirmwareRevision);
    read(root, "inputVoltage", c.inputVoltage);
    read(root, "shutterMoveMs", c.shutterMoveMs);
    if (const YAML::Node v = root["answersCapabilityQueries"])
        c.answersCapabilityQueries = scalar<bool>(v, "answersCapabilityQueries");
    if (const YAML::Node v = root["answersCoolerState"])
        c.answersCoolerState = scalar<bool>(v, "answersCoolerState");
    if (const YAML::Node sensors = root["sensors"])
        readSensors(sensors, c);
    if (const YAML::Node capabilities = root["capabilities"]) {
        if (!capabilities.IsMap())
            throw std::invalid_argument("'capabilities' takes a map of names to true or false");
        for (const auto& item : capabilities) {
            const std::string name = item.first.as<std::string>();
            const ICamera::Capability capability = Capabilities::fromName(name);
            if (capability == ICamera::InvalidCameraCapability)
                throw std::invalid_argument("Unknown capability: " + name);
            c.capabilities[capability] = scalar<bool>(item.second, "capabilities");
        }
    }
    if (const YAML::Node options = root["options"]) {
        if (!options.IsMap())
            throw std::invalid_argument("'options' takes a map of option codes to values");
        c.options.clear();
        for (const auto& item : options) {
            const unsigned key = scalar<unsigned>(item.first, "options");
            if (key > 255)
                throw std::invalid_argument("Invalid option code");
            c.options[static_cast<uint8_t>(key)] = scalar<int16_t>(item.second, "options");
        }
    }
    if (const YAML::Node wifi = root["wifi"]) {
        read(wifi, "ssid", c.wifi.ssid);
        read(wifi, "password", c.wifi.password);
        if (const YAML::Node mode = wifi["mode"])
            c.wifi.mode = networkModeFromName(scalar<std::string>(mode, "mode"));
        read(wifi, "usaCanada", c.wifi.usaCanadaMode);
        read(wifi, "hexPassword", c.wifi.hexPassword);
        if (c.wifi.ssid.size() > 32 || c.wifi.password.size() > 64)
            throw std::invalid_argument("The Wi-Fi SSID holds at most 32 characters, the password 64");
    }
    if (const YAML::Node thermal = root["thermal"]) {
        read(thermal, "ambient", c.thermal.ambient);
        read(thermal, "maxDelta", c.thermal.maxDelta);
        read(thermal, "coolingRate", c.thermal.coolingRate);
        read(thermal, "warmingRate", c.thermal.warmingRate);
    }
    if (const YAML::Node wheel = root["filterWheel"]) {
        read(wheel, "present", c.filterWheel.present);
        readByte(wheel, "id", c.filterWheel.hardwareId);
        read(wheel, "slots", c.filterWheel.slots);
        read(wheel, "slotMoveMs", c.filterWheel.slotMoveMs);
        if (const YAML::Node children = wheel["children"]) {
            c.filterWheel.children.clear();
            for (const auto& child : children) {
                const unsigned id = scalar<unsigned>(child, "children");
                if (id > 255)
                    throw std::invalid_argument("Invalid filter-wheel id");
                c.filterWheel.children.push_back(static_cast<uint8_t>(id));
            }
        }
    }
    if (const YAML::Node ao = root["adaptiveOptics"]) {
        if (const YAML::Node model = ao["model"])
            c.adaptiveOptics.model = aoModelFromName(scalar<std::string>(model, "model"));
        read(ao, "settleMs", c.adaptiveOptics.settleMs);
        read(ao, "stepMicroseconds", c.adaptiveOptics.stepMicroseconds);
    }
    if (const YAML::Node faults = root["faults"])
        readFaults(faults, c.faults);
    return c;
}

} // namespace

CameraConfig parse(const std::string& text)
{
    try {
        return fromNode(YAML::Load(text));
    } catch (const YAML::Exception& e) {
        throw std::runtime_error(std::string("Invalid camera description: ") + e.what());
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(std::string("Invalid camera description: ") + e.what());
    }
}

CameraConfig load(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error("Cannot read " + path);
    std::ostringstream text;
    text << file.rdbuf();
    try {
        return parse(text.str());
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

ICamera::Model modelFromName(const std::string& name)
{
    for (const auto& m : c_models)
        if (name == m.name)
            return m.model;
    if (isNumber(name)) {
        const unsigned long value = number(name, 255, "camera model");
        return static_cast<ICamera::Model>(value);
    }
    throw std::invalid_argument("Unknown camera model: " + name);
}

std::string modelName(ICamera::Model model)
{
    for (const auto& m : c_models)
        if (model == m.model)
            return m.name;
    return std::to_string(static_cast<unsigned>(model));
}

kv::EStatusCode statusFromName(const std::string& name)
{
    for (const auto& s : c_statuses)
        if (name == s.name)
            return s.status;
    if (isNumber(name))
        return static_cast<kv::EStatusCode>(number(name, 255, "status code"));
    throw std::invalid_argument("Unknown status code: " + name);
}

uint32_t serialFromText(const std::string& text)
{
    if (isNumber(text))
        return static_cast<uint32_t>(number(text, 0xFFFFFFFFul, "serial number"));
    const auto decoder = kv::SerialDecoderFactory::create(text);
    if (!decoder)
        throw std::invalid_argument("Invalid serial number: " + text);
    return static_cast<uint32_t>(static_cast<size_t>(*decoder));
}

} // namespace ConfigFile
} // namespace kvsim
