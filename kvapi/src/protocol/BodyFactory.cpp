#include "protocol/BodyFactory.h"

#include "protocol/EmptyBody.h"

// Sensor and image-transfer bodies.
#include "protocol/AccessSensorCalibrationByKeyBody.h"
#include "protocol/GetFrameResponseBody.h"
#include "protocol/GetImageMetadataResponseBody.h"
#include "protocol/GetPacketsRequestBody.h"
#include "protocol/GetPacketsResponseBody.h"
#include "protocol/GetSensorCalibrationByKeyRequestBody.h"
#include "protocol/GetSensorCalibrationResponseBody.h"
#include "protocol/GetSensorInfoResponseBody.h"
#include "protocol/GetSensorSettingsRequestBody.h"
#include "protocol/GetSensorSettingsResponseBody.h"
#include "protocol/GetSubframeResponseBody.h"
#include "protocol/PacketRequestExtRequestBody.h"
#include "protocol/SetSensorCalibrationRequestBody.h"
#include "protocol/SetSensorSettingsRequestBody.h"
#include "protocol/SetSensorSettingsResponseBody.h"
#include "protocol/SetSubframeRequestBody.h"
#include "protocol/StartDownloadResponseBody.h"
#include "protocol/StartExposureRequestBody.h"
#include "protocol/V2SetSubframeRequestBody.h"
#include "protocol/V2SetSubframeResponseBody.h"

// Camera and peripheral bodies.
#include "protocol/AOGetStatusResponseBody.h"
#include "protocol/AOGotoRequestBody.h"
#include "protocol/AOInitResponseBody.h"
#include "protocol/EchoBody.h"
#include "protocol/FWGetStatusResponseBody.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/FWInitResponseBody.h"
#include "protocol/GetCameraCapabilityRequestBody.h"
#include "protocol/GetCameraCapabilityResponseBody.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/GetCameraOptionRequestBody.h"
#include "protocol/GetCameraOptionResponseBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/GetCoolerStateResponseBody.h"
#include "protocol/GetNetworkResponseBody.h"
#include "protocol/GetPeripheralInfoResponseBody.h"
#include "protocol/PulseGuideRequestBody.h"
#include "protocol/SetCameraOptionRequestBody.h"
#include "protocol/SetCameraOptionResponseBody.h"
#include "protocol/SetCoolerRequestBody.h"
#include "protocol/SetFanSpeedRequestBody.h"
#include "protocol/SetNetworkRequestBody.h"
#include "protocol/ShutterControlRequestBody.h"

// Configuration-memory and firmware-transfer bodies.
#include "protocol/BulkUploadRequestBody.h"
#include "protocol/ConfigControlExtRequestBody.h"
#include "protocol/ConfigControlRequestBody.h"
#include "protocol/ConfigControlResponseBody.h"
#include "protocol/ConfigDataDownloadExtRequestBody.h"
#include "protocol/ConfigDataDownloadExtResponseBody.h"
#include "protocol/ConfigDataDownloadRequestBody.h"
#include "protocol/ConfigDataDownloadResponseBody.h"
#include "protocol/ConfigDataUploadRequestBody.h"
#include "protocol/ReadMemoryConfigResponseBody.h"
#include "protocol/ReadMemoryWordRequestBody.h"
#include "protocol/ReadMemoryWordResponseBody.h"
#include "protocol/SetSerialNumberRequestBody.h"
#include "protocol/WriteMemoryConfigRequestBody.h"
#include "protocol/WriteMemoryWordRequestBody.h"

namespace kv {

namespace {

template <BodyType B>
BaseBodyPtr empty()
{
    return std::make_shared<V1::EmptyBody<Cmd, B>>();
}

} // namespace

BaseBodyFactory::~BaseBodyFactory() = default;

BaseHeaderPtr V1BodyFactory::generateHeader(HeaderType type) const
{
    switch (type) {
    case V1Request: return std::make_shared<V1::RequestHeaderBody>();
    case V1Response: return std::make_shared<V1::ResponseHeaderBody>();
    default: return nullptr;
    }
}

BaseBodyPtr V1BodyFactory::generateBody(HeaderType headerType, BodyType bodyType) const
{
    switch (headerType) {
    case V1Request: return generateRequestBody(bodyType);
    case V1Response: return generateResponseBody(bodyType);
    default: return nullptr;
    }
}

BaseFooterPtr V1BodyFactory::generateFooter(FooterType type) const
{
    switch (type) {
    case V1None: return std::make_shared<V1::EmptyFooter>();
    case V1SeqCrc16: return std::make_shared<V1::SeqCrc16Body>();
    case V1CRC8: return std::make_shared<V1::Crc8Body>();
    default: return nullptr;
    }
}

BaseBodyPtr V1BodyFactory::generateRequestBody(BodyType bodyType) const
{
    switch (bodyType) {
    case GetCameraInfo: return empty<GetCameraInfo>();
    case GetSensorInfo: return empty<GetSensorInfo>();
    case GetCameraStatus: return empty<GetCameraStatus>();
    case GetSubframe: return empty<GetSubframe>();
    case AbortExposure: return empty<AbortExposure>();
    case GetNetwork: return empty<GetNetwork>();
    case StartDownload: return empty<StartDownload>();
    case FWInit: return empty<FWInit>();
    case FWGetStatus: return empty<FWGetStatus>();
    case AOInit: return empty<AOInit>();
    case AOGetStatus: return empty<AOGetStatus>();
    case ReadMemoryConfig: return empty<ReadMemoryConfig>();
    case ErrorBodyType: return empty<ErrorBodyType>();
    case GetPeripheralInfo: return empty<GetPeripheralInfo>();
    case GetCoolerState: return empty<GetCoolerState>();
    case GetImageMetadata: return empty<GetImageMetadata>();
    case Disconnect: return empty<Disconnect>();
    case UnlockSpecialCommands: return empty<UnlockSpecialCommands>();
    // Sensor and image-transfer bodies.
    case GetSensorSettings: return std::make_shared<V1::GetSensorSettingsRequestBody>();
    case SetSensorSettings: return std::make_shared<V1::SetSensorSettingsRequestBody>();
    case GetSensorCalibration: return std::make_shared<V1::GetSensorSettingsRequestBody>(GetSensorCalibration);
    case SetSensorCalibration: return std::make_shared<V1::SetSensorCalibrationRequestBody>();
    case SetSubframe: return std::make_shared<V1::SetSubframeRequestBody>();
    case StartExposure: return std::make_shared<V1::StartExposureRequestBody>();
    case PacketRequest: return std::make_shared<V1::GetPacketsRequestBody>();
    case GetHiddenSensorSetting: return std::make_shared<V1::GetSensorCalibrationByKeyRequestBody>();
    case SetHiddenSensorSetting: return std::make_shared<V1::SetSensorCalibrationByKeyRequestBody>();
    case SetSubframeExt: return std::make_shared<V2::SetSubframeRequestBody>();
    case PacketRequestExt: return std::make_shared<V2::PacketRequestExtRequestBody>();
    // Camera and peripheral bodies.
    case ShutterControl: return std::make_shared<V1::ShutterControlRequestBody>();
    case SetCooler: return std::make_shared<V1::SetCoolerRequestBody>();
    case SetFanSpeed: return std::make_shared<V1::SetFanSpeedRequestBody>();
    case SetNetwork: return std::make_shared<V1::SetNetworkRequestBody>();
    case FWGoto: return std::make_shared<V1::FWGotoRequestBody>();
    case AOGoto: return std::make_shared<V1::AOGotoRequestBody>();
    case PulseGuide: return std::make_shared<V1::PulseGuideRequestBody>();
    case EchoRequest: return std::make_shared<V1::EchoBody>();
    case GetCameraCapability: return std::make_shared<V1::GetCameraCapabilityRequestBody>();
    case GetCameraOption: return std::make_shared<V1::GetCameraOptionRequestBody>();
    case SetCameraOption: return std::make_shared<V1::SetCameraOptionRequestBody>();
    // Configuration-memory and firmware-transfer bodies.
    case ConfigControl: return std::make_shared<V1::ConfigControlRequestBody>();
    case ConfigDataUpload: return std::make_shared<V1::ConfigDataUploadRequestBody>();
    case ConfigDataDownload: return std::make_shared<V1::ConfigDataDownloadRequestBody>();
    case ReadMemoryWord: return std::make_shared<V1::ReadMemoryWordRequestBody>();
    case WriteMemoryWord: return std::make_shared<V1::WriteMemoryWordRequestBody>();
    case WriteMemoryConfig: return std::make_shared<V1::WriteMemoryConfigRequestBody>();
    case BulkUpload: return std::make_shared<V2::BulkUploadRequestBody>();
    case ConfigControlExt: return std::make_shared<V2::ConfigControlExtRequestBody>();
    case ConfigDataDownloadExt: return std::make_shared<V2::ConfigDataDownloadExtRequestBody>();
    case SetSerialNumber: return std::make_shared<V1::SetSerialNumberRequestBody>();
    default: return nullptr;
    }
}

BaseBodyPtr V1BodyFactory::generateResponseBody(BodyType bodyType) const
{
    switch (bodyType) {
    case SetSensorCalibration: return empty<SetSensorCalibration>();
    case SetSubframe: return empty<SetSubframe>();
    case StartExposure: return empty<StartExposure>();
    case AbortExposure: return empty<AbortExposure>();
    case ShutterControl: return empty<ShutterControl>();
    case SetCooler: return empty<SetCooler>();
    case SetFanSpeed: return empty<SetFanSpeed>();
    case SetNetwork: return empty<SetNetwork>();
    case FWGoto: return empty<FWGoto>();
    case AOGoto: return empty<AOGoto>();
    case PulseGuide: return empty<PulseGuide>();
    case ConfigDataUpload: return empty<ConfigDataUpload>();
    case WriteMemoryWord: return empty<WriteMemoryWord>();
    case WriteMemoryConfig: return empty<WriteMemoryConfig>();
    case ErrorBodyType: return empty<ErrorBodyType>();
    case BulkUpload: return empty<BulkUpload>();
    case Disconnect: return empty<Disconnect>();
    case SetSerialNumber: return empty<SetSerialNumber>();
    case UnlockSpecialCommands: return empty<UnlockSpecialCommands>();
    // Sensor and image-transfer bodies.
    case GetSensorInfo: return std::make_shared<V1::GetSensorInfoResponseBody>();
    case GetSensorSettings: return std::make_shared<V1::GetSensorSettingsResponseBody>();
    case SetSensorSettings: return std::make_shared<V1::SetSensorSettingsResponseBody>();
    case GetSensorCalibration: return std::make_shared<V1::GetSensorCalibrationResponseBody>();
    case GetSubframe: return std::make_shared<V1::GetSubframeResponseBody>();
    case StartDownload: return std::make_shared<V1::StartDownloadResponseBody>();
    case PacketRequest: return std::make_shared<V1::GetPacketsResponseBody>();
    case GetFrameRequest: return std::make_shared<V1::GetFrameResponseBody>();
    case GetHiddenSensorSetting: return std::make_shared<V1::GetSensorCalibrationByKeyResponseBody>();
    case SetHiddenSensorSetting: return std::make_shared<V1::SetSensorCalibrationByKeyResponseBody>();
    case SetSubframeExt: return std::make_shared<V2::SetSubframeResponseBody>();
    case PacketRequestExt: return std::make_shared<V1::GetPacketsResponseBody>(PacketRequestExt);
    case GetImageMetadata: return std::make_shared<V1::GetImageMetadataResponseBody>();
    // Camera and peripheral bodies.
    case GetCameraInfo: return std::make_shared<V1::GetCameraInfoResponseBody>();
    case GetCameraStatus: return std::make_shared<V1::GetCameraStatusResponseBody>();
    case GetNetwork: return std::make_shared<V1::GetNetworkResponseBody>();
    case FWInit: return std::make_shared<V1::FWInitResponseBody>();
    case FWGetStatus: return std::make_shared<V1::FWGetStatusResponseBody>();
    case AOInit: return std::make_shared<V1::AOInitResponseBody>();
    case AOGetStatus: return std::make_shared<V1::AOGetStatusResponseBody>();
    case EchoRequest: return std::make_shared<V1::EchoBody>();
    case GetCameraCapability: return std::make_shared<V1::GetCameraCapabilityResponseBody>();
    case GetCameraOption: return std::make_shared<V1::GetCameraOptionResponseBody>();
    case SetCameraOption: return std::make_shared<V1::SetCameraOptionResponseBody>();
    case GetPeripheralInfo: return std::make_shared<V1::GetPeripheralInfoResponseBody>();
    case GetCoolerState: return std::make_shared<V1::GetCoolerStateResponseBody>();
    // Configuration-memory and firmware-transfer bodies.
    case ConfigControl: return std::make_shared<V1::ConfigControlResponseBody>(ConfigControl);
    case ConfigDataDownload: return std::make_shared<V1::ConfigDataDownloadResponseBody>();
    case ReadMemoryWord: return std::make_shared<V1::ReadMemoryWordResponseBody>();
    case ReadMemoryConfig: return std::make_shared<V1::ReadMemoryConfigResponseBody>();
    case ConfigControlExt: return std::make_shared<V1::ConfigControlResponseBody>(ConfigControlExt);
    case ConfigDataDownloadExt: return std::make_shared<V2::ConfigDataDownloadExtResponseBody>();
    default: return nullptr;
    }
}

} // namespace kv
