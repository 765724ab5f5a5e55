#include "protocol/protocol.h"

namespace kv {
namespace Reflections {

std::string messageHeaderToString(uint32_t headerType)
{
    switch (headerType) {
    case V1Request: return "V1Request";
    case V1Response: return "V1Response";
    default: return "InvalidHeader";
    }
}

std::string messageFooterToString(uint32_t footerType)
{
    switch (footerType) {
    case V1None: return "V1None";
    case V1SeqCrc16: return "V1SeqCrc16";
    case V1CRC8: return "V1CRC8";
    default: return "InvalidFooter";
    }
}

std::string messageBodyToString(uint32_t bodyType)
{
    switch (bodyType) {
    case GetCameraInfo: return "GetCameraInfo";
    case GetSensorInfo: return "GetSensorInfo";
    case GetSensorSettings: return "GetSensorSettings";
    case SetSensorSettings: return "SetSensorSettings";
    case GetSensorCalibration: return "GetSensorCalibration";
    case SetSensorCalibration: return "SetSensorCalibration";
    case GetCameraStatus: return "GetCameraStatus";
    case GetSubframe: return "GetSubframe";
    case SetSubframe: return "SetSubframe";
    case StartExposure: return "StartExposure";
    case AbortExposure: return "AbortExposure";
    case ShutterControl: return "ShutterControl";
    case SetCooler: return "SetCooler";
    case SetFanSpeed: return "SetFanSpeed";
    case SetNetwork: return "SetNetwork";
    case GetNetwork: return "GetNetwork";
    case StartDownload: return "StartDownload";
    case FWInit: return "FWInit";
    case FWGetStatus: return "FWGetStatus";
    case FWGoto: return "FWGoto";
    case AOInit: return "AOInit";
    case AOGetStatus: return "AOGetStatus";
    case AOGoto: return "AOGoto";
    case PulseGuide: return "PulseGuide";
    case EchoRequest: return "EchoRequest";
    case PacketRequest: return "PacketRequest";
    case ConfigControl: return "ConfigControl";
    case ConfigDataUpload: return "ConfigDataUpload";
    case ConfigDataDownload: return "ConfigDataDownload";
    case ReadMemoryWord: return "ReadMemoryWord";
    case WriteMemoryWord: return "WriteMemoryWord";
    case ReadMemoryConfig: return "ReadMemoryConfig";
    case WriteMemoryConfig: return "WriteMemoryConfig";
    case ReservedBodyType: return "ReservedBodyType";
    case ErrorBodyType: return "ErrorBodyType";
    case GetCameraCapability: return "GetCameraCapability";
    case GetFrameRequest: return "GetFrameRequest";
    case GetHiddenSensorSetting: return "GetHiddenSensorSetting";
    case SetHiddenSensorSetting: return "SetHiddenSensorSetting";
    case GetCameraOption: return "GetCameraOption";
    case SetCameraOption: return "SetCameraOption";
    case GetPeripheralInfo: return "GetPeripheralInfo";
    case GetCoolerState: return "GetCoolerState";
    case SetSubframeExt: return "SetSubframeExt";
    case PacketRequestExt: return "PacketRequestExt";
    case BulkUpload: return "BulkUpload";
    case ConfigControlExt: return "ConfigControlExt";
    case ConfigDataDownloadExt: return "ConfigDataDownloadExt";
    case GetNetworkConfig: return "GetNetworkConfig";
    case SetNetworkConfig: return "SetNetworkConfig";
    case SyncClock: return "SyncClock";
    case SetImageChannels: return "SetImageChannels";
    case GetImageMetadata: return "GetImageMetadata";
    case GetCameraCapabilities: return "GetCameraCapabilities";
    case Disconnect: return "Disconnect";
    case SetSerialNumber: return "SetSerialNumber";
    case UnlockSpecialCommands: return "UnlockSpecialCommands";
    default: return "Invalid body type";
    }
}

} // namespace Reflections
} // namespace kv
