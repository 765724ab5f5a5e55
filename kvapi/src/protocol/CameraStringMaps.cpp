#include "protocol/CameraStringMaps.h"

#include <cstddef>

namespace kv {
namespace V1 {
namespace StringMaps {

namespace {

template <size_t N>
const char* lookup(const char* const (&names)[N], uint32_t code, const char* fallback)
{
    return code < N ? names[code] : fallback;
}

} // namespace

const char* mapYesNo(bool value)
{
    return value ? "Yes" : "No";
}

const char* mapCameraModelToString(uint32_t model)
{
    return model == 0 ? "Brisa" : "Invalid Camera Model";
}

const char* mapSensorStatusToString(uint32_t status)
{
    static const char* const names[] = {"Idle",     "Trigger",  "PreShutter",     "DoShutterOpen",
                                        "Starting", "Exposing", "DoShutterClose", "Reading",
                                        "ReadyToDownload", "HomingShutter"};
    return lookup(names, status, "InvalidSensorState");
}

const char* mapShutterStatusToString(uint32_t status)
{
    static const char* const names[] = {"ShutterClosed",  "ShutterOpen",       "ShutterClosing", "ShutterOpening",
                                        "ShutterRolling", "ShutterExercising", "ShutterError"};
    return lookup(names, status, "ShutterUninitialized");
}

const char* mapCapabilityToString(uint32_t capability)
{
    static const char* const names[] = {
        "eSupportsFan",
        "eSupportsCooler",
        "eSupportsCoolerTemp",
        "eSupportsHeatSinkTemp",
        "eSupportsAdaptiveOptics",
        "eSupportsFilterWheel",
        "eSupportsGuidePort",
        "eSupportsWiFi",
        "eSupportsDefogHeater",
        "eSupportsSensorGainOffset",
        "eSupportsInternalStacking",
        "eSupportsFastContinuousReadout",
        "eSupportsShutter",
        "eSupportsPrecisionCoolerPower",
        "eSupportsExtendedStartDownload",
        "eSupportsInputVoltage",
        "eSupportsOverscan",
        "eSupportsOnChipBinning",
        "eSupportsAdjustableGain",
        "eSupportsPeripheralInfo",
    };
    return lookup(names, capability, "");
}

const char* mapCameraOptionToString(uint32_t option)
{
    static const char* const names[] = {"eCameraOptionHasShutter", "eCameraOptionsOEMFlags"};
    return lookup(names, option, "");
}

const char* mapNetworkModeToString(uint32_t mode)
{
    static const char* const names[] = {"AdHoc", "Open", "WEP", "WPA", "WPA2"};
    return lookup(names, mode, "");
}

const char* mapPulseGuideDirectionToString(uint32_t direction)
{
    static const char* const names[] = {"NORTH", "SOUTH", "EAST", "WEST"};
    return lookup(names, direction, "Invalid direction");
}

const char* mapFWStatusToString(uint32_t status)
{
    static const char* const names[] = {"FWIdle", "FWBusy", "FWError"};
    return lookup(names, status, "InvalidFWStatus");
}

const char* mapAOModelToString(uint32_t model)
{
    static const char* const names[] = {"UnknownAOModel", "TT8", "TTX"};
    return lookup(names, model, "InvalidAOModel");
}

const char* mapAOStatusToString(uint32_t status)
{
    static const char* const names[] = {"AOIdle", "AOBusy", "AOError"};
    return lookup(names, status, "InvalidAOStatus");
}

const char* mapPeripheralTypeToString(PeripheralType type)
{
    static const char* const names[] = {"Filter Wheel", "Sensor", "Adaptive Optics"};
    return lookup(names, static_cast<uint32_t>(type), "Unknown Type");
}

} // namespace StringMaps
} // namespace V1
} // namespace kv
