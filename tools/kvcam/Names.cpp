#include "Names.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>

namespace kvcam {

namespace {

template <typename T>
struct Entry {
    T value;
    const char* name;
};

template <typename T, size_t N>
std::string lookup(const Entry<T> (&table)[N], T value)
{
    for (const auto& entry : table)
        if (entry.value == value)
            return entry.name;
    return "Unknown (" + std::to_string(static_cast<unsigned long>(value)) + ")";
}

using kv::ICamera;
using kv::ISensor;

// Aliases share a value; the first name listed is the one shown.
const Entry<ICamera::Model> c_cameraModels[] = {
    {ICamera::Brisa, "Brisa"},           {ICamera::BrisaPro, "BrisaPro"},     {ICamera::Reserved2, "Reserved2"},
    {ICamera::BrisaCMOS, "BrisaCMOS"},   {ICamera::Vireo, "Vireo"},           {ICamera::MTC, "MTC"},
    {ICamera::BrisaBC2020, "BrisaBC2020"}, {ICamera::VireoE, "VireoE"},       {ICamera::VireoC, "VireoC"},
    {ICamera::BrisaBC455, "BrisaBC455"}, {ICamera::Reserved9, "Reserved9"},   {ICamera::BrisaBC461, "BrisaBC461"},
    {ICamera::InvalidCameraModel, "InvalidCameraModel"},
};

const Entry<ISensor::Model> c_sensorModels[] = {
    {ISensor::RESERVED1, "RESERVED1"},   {ISensor::RESERVED2, "RESERVED2"},   {ISensor::ICX694, "ICX694"},
    {ISensor::ICX814, "ICX814"},         {ISensor::CCD4710, "CCD4710"},       {ISensor::CCD7700, "CCD7700"},
    {ISensor::RESERVED3, "RESERVED3"},   {ISensor::RESERVED4, "RESERVED4"},   {ISensor::RESERVED6, "RESERVED6"},
    {ISensor::RESERVED5, "RESERVED5"},   {ISensor::KAF3200, "KAF3200"},       {ISensor::KAF8300, "KAF8300"},
    {ISensor::RESERVED7, "RESERVED7"},   {ISensor::RESERVED8, "RESERVED8"},   {ISensor::RESERVEDB1, "RESERVEDB1"},
    {ISensor::RESERVEDC1, "RESERVEDC1"}, {ISensor::GSENSE4040, "GSENSE4040"}, {ISensor::GSENSE4040BSI, "GSENSE4040BSI"},
    {ISensor::P1300, "P1300"},           {ISensor::IMX428, "IMX428"},         {ISensor::IMX428_7, "IMX428_7"},
    {ISensor::GSENSE2020, "GSENSE2020"}, {ISensor::IMX290, "IMX290"},         {ISensor::IMX455, "IMX455"},
    {ISensor::IMX461, "IMX461"},         {ISensor::InvalidSensorModel, "InvalidSensorModel"},
};

const Entry<ISensor::Status> c_sensorStates[] = {
    {ISensor::Idle, "Idle"},
    {ISensor::Trigger, "Trigger"},
    {ISensor::PreShutter, "PreShutter"},
    {ISensor::DoShutterOpen, "DoShutterOpen"},
    {ISensor::Starting, "Starting"},
    {ISensor::Exposing, "Exposing"},
    {ISensor::DoShutterClose, "DoShutterClose"},
    {ISensor::Reading, "Reading"},
    {ISensor::ReadyToDownload, "ReadyToDownload"},
    {ISensor::HomingShutter, "HomingShutter"},
    {ISensor::InvalidSensorState, "InvalidSensorState"},
};

const Entry<kv::EShutterStatus> c_shutter[] = {
    {kv::ShutterClosed, "ShutterClosed"},   {kv::ShutterOpen, "ShutterOpen"},
    {kv::ShutterClosing, "ShutterClosing"}, {kv::ShutterOpening, "ShutterOpening"},
    {kv::ShutterRolling, "ShutterRolling"}, {kv::ShutterExercising, "ShutterExercising"},
    {kv::ShutterError, "ShutterError"},     {kv::ShutterUninitialized, "ShutterUninitialized"},
};

const Entry<kv::EFilterType> c_filterTypes[] = {
    {kv::Monochrome, "Monochrome"},
    {kv::Color, "Color"},
    {kv::SparseColor, "SparseColor"},
    {kv::InvalidFilterType, "InvalidFilterType"},
};

const Entry<kv::EFrameType> c_frameTypes[] = {
    {kv::Progressive, "Progressive"},       {kv::Interline, "Interline"},         {kv::BayerInterline, "BayerInterline"},
    {kv::RollingShutter, "RollingShutter"}, {kv::GlobalShutter, "GlobalShutter"}, {kv::InvalidFrameType, "InvalidFrameType"},
};

const Entry<kv::ENetworkMode> c_networkModes[] = {
    {kv::AdHoc, "AdHoc"}, {kv::Open, "Open"}, {kv::WEP, "WEP"},
    {kv::WPA, "WPA"},     {kv::WPA2, "WPA2"}, {kv::InvalidNetworkMode, "InvalidNetworkMode"},
};

const Entry<kv::IFW::Status> c_wheelStatus[] = {
    {kv::IFW::FWIdle, "FWIdle"},
    {kv::IFW::FWBusy, "FWBusy"},
    {kv::IFW::FWError, "FWError"},
    {kv::IFW::InvalidFWStatus, "InvalidFWStatus"},
};

const Entry<kv::IAO::Status> c_aoStatus[] = {
    {kv::IAO::Idle, "Idle"},
    {kv::IAO::Busy, "Busy"},
    {kv::IAO::Error, "Error"},
    {kv::IAO::InvalidAOStatus, "InvalidAOStatus"},
};

const Entry<kv::IAO::Model> c_aoModels[] = {
    {kv::IAO::UnknownAOModel, "UnknownAOModel"},
    {kv::IAO::TT8, "TT8"},
    {kv::IAO::TTX, "TTX"},
    {kv::IAO::InvalidAOModel, "InvalidAOModel"},
};

const Entry<kv::EEndpointType> c_connections[] = {
    {kv::Net, "Net"}, {kv::USB, "USB"}, {kv::USB3, "USB3"}, {kv::RAW, "RAW"}, {kv::InvalidEndpoint, "InvalidEndpoint"},
};

const CapabilityName c_capabilities[] = {
    {ICamera::eSupportsFan, "eSupportsFan", "Fan"},
    {ICamera::eSupportsCooler, "eSupportsCooler", "Cooler"},
    {ICamera::eSupportsCoolerTemp, "eSupportsCoolerTemp", "Cooler temperature"},
    {ICamera::eSupportsHeatSinkTemp, "eSupportsHeatSinkTemp", "Heat-sink temperature"},
    {ICamera::eSupportsAdaptiveOptics, "eSupportsAdaptiveOptics", "Adaptive optics"},
    {ICamera::eSupportsFilterWheel, "eSupportsFilterWheel", "Filter wheel"},
    {ICamera::eSupportsGuidePort, "eSupportsGuidePort", "Guide port"},
    {ICamera::eSupportsWiFi, "eSupportsWiFi", "Wi-Fi"},
    {ICamera::eSupportsDefogHeater, "eSupportsDefogHeater", "Defog heater"},
    {ICamera::eSupportsSensorGainOffset, "eSupportsSensorGainOffset", "Sensor gain and offset"},
    {ICamera::eSupportsInternalStacking, "eSupportsInternalStacking", "Internal stacking"},
    {ICamera::eSupportsFastContinuousReadout, "eSupportsFastContinuousReadout", "Fast continuous readout"},
    {ICamera::eSupportsShutter, "eSupportsShutter", "Shutter"},
    {ICamera::eSupportsPrecisionCoolerPower, "eSupportsPrecisionCoolerPower", "Precision cooler power"},
    {ICamera::eSupportsExtendedStartDownload, "eSupportsExtendedStartDownload", "Extended start of download"},
    {ICamera::eSupportsInputVoltage, "eSupportsInputVoltage", "Input voltage"},
    {ICamera::eSupportsOverscan, "eSupportsOverscan", "Overscan"},
    {ICamera::eSupportsOnChipBinning, "eSupportsOnChipBinning", "On-chip binning"},
    {ICamera::eSupportsAdjustableGain, "eSupportsAdjustableGain", "Adjustable gain"},
    {ICamera::eSupportsPeripheralInfo, "eSupportsPeripheralInfo", "Peripheral information"},
    {ICamera::eSupportsFibreXferProtocol, "eSupportsFibreXferProtocol", "Fibre transfer protocol"},
    {ICamera::eSupportsMetadataKeys, "eSupportsMetadataKeys", "Metadata keys"},
    {ICamera::eSupportsSoftwareBinMode, "eSupportsSoftwareBinMode", "Software binning"},
};

const SettingName c_settings[] = {
    {ISensor::UseOverscan, "UseOverscan"},
    {ISensor::RBIPreflashDuration, "RBIPreflashDuration"},
    {ISensor::RBIPreflashFlushCount, "RBIPreflashFlushCount"},
    {ISensor::UseWindowHeater, "UseWindowHeater"},
    {ISensor::FanSpeed, "FanSpeed"},
    {ISensor::ToggleIRLEDs, "ToggleIRLEDs"},
    {ISensor::UseOnChipBinning, "UseOnChipBinning"},
    {ISensor::UseExtTrigger, "UseExtTrigger"},
    {ISensor::AutoFanMode, "AutoFanMode"},
    {ISensor::ShutterPolarity, "ShutterPolarity"},
    {ISensor::EnableStatusLED, "EnableStatusLED"},
    {ISensor::PartialExposureLength, "PartialExposureLength"},
    {ISensor::UseFWAsShutter, "UseFWAsShutter"},
    {ISensor::AnalogGain0, "AnalogGain0"},
    {ISensor::AnalogGain1, "AnalogGain1"},
    {ISensor::ContinuousExposure, "ContinuousExposure"},
};

const Entry<kv::EPulseGuideDirection> c_directions[] = {
    {kv::North, "north"},
    {kv::South, "south"},
    {kv::East, "east"},
    {kv::West, "west"},
};

} // namespace

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string cameraModelName(ICamera::Model model) { return lookup(c_cameraModels, model); }
std::string sensorModelName(ISensor::Model model) { return lookup(c_sensorModels, model); }
std::string sensorStateName(ISensor::Status state) { return lookup(c_sensorStates, state); }
std::string shutterName(kv::EShutterStatus status) { return lookup(c_shutter, status); }
std::string filterTypeName(kv::EFilterType type) { return lookup(c_filterTypes, type); }
std::string frameTypeName(kv::EFrameType type) { return lookup(c_frameTypes, type); }
std::string networkModeName(kv::ENetworkMode mode) { return lookup(c_networkModes, mode); }
std::string wheelStatusName(kv::IFW::Status status) { return lookup(c_wheelStatus, status); }
std::string aoStatusName(kv::IAO::Status status) { return lookup(c_aoStatus, status); }
std::string aoModelName(kv::IAO::Model model) { return lookup(c_aoModels, model); }
std::string connectionTypeName(kv::EEndpointType type) { return lookup(c_connections, type); }
std::string directionName(kv::EPulseGuideDirection direction) { return lookup(c_directions, direction); }

const CapabilityName* capabilityNames(size_t& count)
{
    count = std::size(c_capabilities);
    return c_capabilities;
}

const SettingName* settingNames(size_t& count)
{
    count = std::size(c_settings);
    return c_settings;
}

std::optional<ISensor::Setting> parseSetting(const std::string& text)
{
    for (const auto& entry : c_settings)
        if (lower(entry.name) == lower(text))
            return entry.setting;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (!text.empty() && end && *end == '\0' && number >= 0 && number < static_cast<long>(std::size(c_settings)))
        return static_cast<ISensor::Setting>(number);
    return std::nullopt;
}

std::optional<kv::EPulseGuideDirection> parseDirection(const std::string& text)
{
    const std::string wanted = lower(text);
    for (const auto& entry : c_directions)
        if (wanted == entry.name || (wanted.size() == 1 && wanted[0] == entry.name[0]))
            return entry.value;
    return std::nullopt;
}

} // namespace kvcam
