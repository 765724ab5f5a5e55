#include "protocol/BodyFactory.h"

#include "protocol/EmptyBody.h"

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
    default: return nullptr;
    }
}

} // namespace kv
