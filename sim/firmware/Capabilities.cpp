#include "firmware/Capabilities.h"

#include "protocol/CameraStringMaps.h"

#include <initializer_list>

namespace kvsim {
namespace Capabilities {

using kv::ICamera;

namespace {

Table make(std::initializer_list<ICamera::Capability> present)
{
    Table table;
    for (uint32_t c = 0; c < ICamera::CameraCapabilityCount; ++c)
        table[static_cast<ICamera::Capability>(c)] = false;
    for (auto c : present)
        table[c] = true;
    return table;
}

} // namespace

// The base tables are those the library assumes for each model before it asks.
Table defaultsFor(ICamera::Model model)
{
    switch (model) {
    case ICamera::Brisa:
        return make({ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                     ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsFilterWheel,
                     ICamera::eSupportsGuidePort, ICamera::eSupportsWiFi, ICamera::eSupportsDefogHeater,
                     ICamera::eSupportsSensorGainOffset, ICamera::eSupportsShutter, ICamera::eSupportsInputVoltage,
                     ICamera::eSupportsOverscan, ICamera::eSupportsOnChipBinning});
    case ICamera::BrisaPro:
        return make({ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                     ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsDefogHeater,
                     ICamera::eSupportsInternalStacking, ICamera::eSupportsShutter,
                     ICamera::eSupportsPrecisionCoolerPower, ICamera::eSupportsOnChipBinning,
                     ICamera::eSupportsFibreXferProtocol});
    case ICamera::BrisaCMOS:
    case ICamera::BrisaBC2020:
        return make({ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                     ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsFilterWheel,
                     ICamera::eSupportsInternalStacking, ICamera::eSupportsShutter,
                     ICamera::eSupportsPrecisionCoolerPower, ICamera::eSupportsExtendedStartDownload,
                     ICamera::eSupportsInputVoltage, ICamera::eSupportsOverscan, ICamera::eSupportsAdjustableGain});
    case ICamera::Vireo:
    case ICamera::VireoE:
        return make({ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsGuidePort,
                     ICamera::eSupportsSensorGainOffset, ICamera::eSupportsShutter});
    case ICamera::MTC:
        return make({ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                     ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsDefogHeater,
                     ICamera::eSupportsInternalStacking, ICamera::eSupportsShutter,
                     ICamera::eSupportsPrecisionCoolerPower, ICamera::eSupportsOnChipBinning});
    case ICamera::VireoC:
    case ICamera::BrisaBC455:
    case ICamera::BrisaBC461:
        return make({ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsGuidePort, ICamera::eSupportsShutter});
    default:
        return make({});
    }
}

ICamera::Capability fromName(const std::string& name)
{
    for (uint32_t c = 0; c < ICamera::CameraCapabilityCount; ++c)
        if (name == kv::V1::StringMaps::mapCapabilityToString(c))
            return static_cast<ICamera::Capability>(c);
    return ICamera::InvalidCameraCapability;
}

} // namespace Capabilities
} // namespace kvsim
