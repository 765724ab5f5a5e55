#include "camera/Capabilities.h"

#include <initializer_list>

namespace kv {
namespace Capabilities {

namespace {

// A complete table in which only the capabilities named are true.
CapabilityMap only(std::initializer_list<ICamera::Capability> supported)
{
    CapabilityMap table;
    for (uint32_t key = 0; key < ICamera::CameraCapabilityCount; ++key) {
        table[static_cast<ICamera::Capability>(key)] = false;
    }
    for (const ICamera::Capability capability : supported) {
        table[capability] = true;
    }
    return table;
}

const CapabilityMap c_brisa = only({ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                                    ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics,
                                    ICamera::eSupportsFilterWheel, ICamera::eSupportsGuidePort,
                                    ICamera::eSupportsWiFi, ICamera::eSupportsDefogHeater,
                                    ICamera::eSupportsSensorGainOffset, ICamera::eSupportsShutter,
                                    ICamera::eSupportsInputVoltage, ICamera::eSupportsOverscan,
                                    ICamera::eSupportsOnChipBinning});

const CapabilityMap c_brisaPro = only({ICamera::eSupportsFan, ICamera::eSupportsCooler,
                                       ICamera::eSupportsCoolerTemp, ICamera::eSupportsHeatSinkTemp,
                                       ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsDefogHeater,
                                       ICamera::eSupportsInternalStacking, ICamera::eSupportsShutter,
                                       ICamera::eSupportsPrecisionCoolerPower, ICamera::eSupportsOnChipBinning,
                                       ICamera::eSupportsFibreXferProtocol});

const CapabilityMap c_cmos = only({ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                                   ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics,
                                   ICamera::eSupportsFilterWheel, ICamera::eSupportsInternalStacking,
                                   ICamera::eSupportsShutter, ICamera::eSupportsPrecisionCoolerPower,
                                   ICamera::eSupportsExtendedStartDownload, ICamera::eSupportsInputVoltage,
                                   ICamera::eSupportsOverscan, ICamera::eSupportsAdjustableGain});

const CapabilityMap c_vireo = only({ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsGuidePort,
                                    ICamera::eSupportsSensorGainOffset, ICamera::eSupportsShutter});

const CapabilityMap c_mtc = only({ICamera::eSupportsFan, ICamera::eSupportsCooler, ICamera::eSupportsCoolerTemp,
                                  ICamera::eSupportsHeatSinkTemp, ICamera::eSupportsAdaptiveOptics,
                                  ICamera::eSupportsDefogHeater, ICamera::eSupportsInternalStacking,
                                  ICamera::eSupportsShutter, ICamera::eSupportsPrecisionCoolerPower,
                                  ICamera::eSupportsOnChipBinning});

const CapabilityMap c_imx = only({ICamera::eSupportsAdaptiveOptics, ICamera::eSupportsGuidePort,
                                  ICamera::eSupportsShutter});

} // namespace

const std::map<ICamera::Model, CapabilityMap> c_defaultCapabilities = {
    {ICamera::Brisa, c_brisa},       {ICamera::BrisaPro, c_brisaPro},     {ICamera::BrisaCMOS, c_cmos},
    {ICamera::Vireo, c_vireo},       {ICamera::MTC, c_mtc},               {ICamera::BrisaBC2020, c_cmos},
    {ICamera::VireoE, c_vireo},      {ICamera::VireoC, c_imx},            {ICamera::BrisaBC455, c_imx},
    {ICamera::BrisaBC461, c_imx},
};

} // namespace Capabilities
} // namespace kv
