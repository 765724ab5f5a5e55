#include "protocol/SensorStringMaps.h"

#include <cstddef>

namespace kv {
namespace V1 {
namespace StringMaps {

namespace {

template <size_t N>
const char* lookup(const char* const (&names)[N], uint32_t code)
{
    return code < N ? names[code] : "";
}

} // namespace

const char* mapSensorModelToString(uint32_t model)
{
    static const char* const names[] = {"RESERVED1", "RESERVED2", "ICX694",    "ICX814",   "CCD4710", "CCD7700",
                                        "RESERVED3", "RESERVED4", "RESERVED6", "RESERVED5", "KAF3200", "KAF8300"};
    switch (model) {
    case 16: return "RESERVED7";
    case 17: return "RESERVED8";
    default: return lookup(names, model);
    }
}

const char* mapFilterTypeToString(uint32_t filterType)
{
    static const char* const names[] = {"Monochrome", "Color", "SparseColor"};
    return lookup(names, filterType);
}

const char* mapFrameTypeToString(uint32_t frameType)
{
    static const char* const names[] = {"Progressive", "Interline", "BayerInterline", "RollingShutter",
                                        "GlobalShutter"};
    return lookup(names, frameType);
}

const char* mapSensorSettingToString(uint32_t setting)
{
    static const char* const names[] = {
        "UseOverscan",     "RBIPreflashDuration", "RBIPreflashFlushCount", "UseWindowHeater",
        "FanSpeed",        "ToggleIRLEDs",        "UseOnChipBinning",      "UseExtTrigger",
        "AutoFanMode",     "ShutterPolarity",     "EnableStatusLED",       "PartialExposureLength",
        "UseFWAsShutter",  "AnalogGain0",         "AnalogGain1",
    };
    return lookup(names, setting);
}

} // namespace StringMaps
} // namespace V1
} // namespace kv
