#include "firmware/Firmware.h"

#include "KVSerialNumbers/SerialNumbers.h"
#include "firmware/Presets.h"
#include "protocol/AOGetStatusResponseBody.h"
#include "protocol/AOGotoRequestBody.h"
#include "protocol/AOInitResponseBody.h"
#include "protocol/BodyFactory.h"
#include "protocol/EchoBody.h"
#include "protocol/FWGetStatusResponseBody.h"
#include "protocol/FWGotoRequestBody.h"
#include "protocol/FWInitResponseBody.h"
#include "protocol/FooterBody.h"
#include "protocol/GetCameraCapabilityRequestBody.h"
#include "protocol/GetCameraCapabilityResponseBody.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/GetCameraOptionRequestBody.h"
#include "protocol/GetCameraOptionResponseBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/GetCoolerStateResponseBody.h"
#include "protocol/GetNetworkResponseBody.h"
#include "protocol/AccessSensorCalibrationByKeyBody.h"
#include "protocol/GetPeripheralInfoResponseBody.h"
#include "protocol/GetSensorCalibrationByKeyRequestBody.h"
#include "protocol/GetSensorCalibrationResponseBody.h"
#include "protocol/GetSensorInfoResponseBody.h"
#include "protocol/GetSensorSettingsRequestBody.h"
#include "protocol/GetSensorSettingsResponseBody.h"
#include "protocol/GetSubframeResponseBody.h"
#include "protocol/SetSensorCalibrationRequestBody.h"
#include "protocol/SetSensorSettingsRequestBody.h"
#include "protocol/SetSensorSettingsResponseBody.h"
#include "protocol/SetSubframeRequestBody.h"
#include "protocol/StartExposureRequestBody.h"
#include "protocol/V2SetSubframeRequestBody.h"
#include "protocol/V2SetSubframeResponseBody.h"
#include "protocol/HeaderBody.h"
#include "protocol/KVProtocol.h"
#include "protocol/PulseGuideRequestBody.h"
#include "protocol/SetCameraOptionRequestBody.h"
#include "protocol/SetCameraOptionResponseBody.h"
#include "protocol/SetCoolerRequestBody.h"
#include "protocol/SetFanSpeedRequestBody.h"
#include "protocol/SetNetworkRequestBody.h"
#include "protocol/ShutterControlRequestBody.h"
#include "protocol/TNetworkConfigBody.h"

#include <kvapi/kvapi_factory.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kvsim {

using kv::ICamera;
using kv::IOBuffer;
using kv::IOBufferPtr;
using kv::BaseBodyPtr;
namespace V1 = kv::V1;

// One request frame, checked as far as the frame goes.
struct Firmware::Request {
    uint8_t bodyType = 0;
    uint8_t footerType = kv::V1None; // of the answer: the request's, when it is one we know
    uint8_t sensorId = 0;
    uint8_t sequence = 0;
    uint32_t bodyLength = 0;
    IOBufferPtr body; // exactly bodyLength bytes
    // Set when the frame itself is wrong: the answer carries only this status.
    kv::EStatusCode frameStatus = kv::Success;
};

// What the firmware does with one request.
struct Firmware::Outcome {
    kv::EStatusCode status = kv::Success;
    BaseBodyPtr body; // the payload of a successful answer; null for none
    bool unanswered = false;

    static Outcome ok(BaseBodyPtr payload = nullptr) { return {kv::Success, std::move(payload), false}; }
    static Outcome error(kv::EStatusCode code) { return {code, nullptr, false}; }
    static Outcome none() { return {kv::Success, nullptr, true}; }
};

namespace {

// Fixed-layout frames that are broadcast and never answered.
bool isUnanswered(uint8_t bodyType)
{
    return bodyType == kv::SetNetworkConfig || bodyType == kv::SetImageChannels;
}

bool isSensorRequest(uint8_t bodyType)
{
    switch (bodyType) {
    case kv::GetSensorInfo:
    case kv::GetSensorSettings:
    case kv::SetSensorSettings:
    case kv::GetSensorCalibration:
    case kv::SetSensorCalibration:
    case kv::GetSubframe:
    case kv::SetSubframe:
    case kv::StartExposure:
    case kv::AbortExposure:
    case kv::StartDownload:
    case kv::PacketRequest:
    case kv::GetFrameRequest:
    case kv::GetHiddenSensorSetting:
    case kv::SetHiddenSensorSetting:
    case kv::SetSubframeExt:
    case kv::PacketRequestExt:
    case kv::GetImageMetadata:
        return true;
    default:
        return false;
    }
}

// Commands of the protocol that this firmware does not carry out (configuration
// memory, firmware transfer, factory commands).
bool isUnsupported(uint8_t bodyType)
{
    switch (bodyType) {
    case kv::ConfigControl:
    case kv::ConfigDataUpload:
    case kv::ConfigDataDownload:
    case kv::ReadMemoryWord:
    case kv::WriteMemoryWord:
    case kv::ReadMemoryConfig:
    case kv::WriteMemoryConfig:
    case kv::BulkUpload:
    case kv::ConfigControlExt:
    case kv::ConfigDataDownloadExt:
    case kv::SetSerialNumber:
    case kv::UnlockSpecialCommands:
        return true;
    default:
        return false;
    }
}

// Reads the frame as far as a firmware does before looking at the body. False
// when the frame is too short to be answered at all.
bool readFrame(const IOBufferPtr& frame, Firmware::Request& request);

// The request body of type T, made by the protocol's body factory and parsed;
// null (with the status to answer) when the body does not fit its layout.
template <class T>
std::shared_ptr<T> bodyOf(const Firmware::Request& request, kv::EStatusCode& status)
{
    auto body = std::dynamic_pointer_cast<T>(
        kv::V1BodyFactory().generateRequestBody(static_cast<kv::BodyType>(request.bodyType)));
    if (!body) {
        status = kv::InvalidBodyType;
        return nullptr;
    }
    try {
        body->setBuffer(request.body);
    } catch (const std::exception&) {
        // A body too short for its record.
        status = kv::InvalidMessageLength;
        return nullptr;
    }
    if (body->getBufferLength() != request.bodyLength) {
        status = kv::InvalidMessageLength;
        return nullptr;
    }
    return body;
}

// How a frame with this subframe is cut into image packets for a host that
// takes datagrams of `mtu` bytes: the payload left after the IP and UDP headers,
// the response header and the packet's id and offsets, in whole pixels. False
// when no pixel fits or the count does not fit its 16-bit field.
bool packetsFor(const SubframeRecord& subframe, uint32_t mtu, uint16_t& count, uint16_t& size)
{
    constexpr uint32_t c_largestDatagram = 9014;
    constexpr uint32_t c_overhead = 20 + 8 + 10 + 6;
    const uint32_t datagram = std::min(mtu, c_largestDatagram);
    if (datagram <= c_overhead + 2 || subframe.binX == 0 || subframe.binY == 0)
        return false;
    const uint32_t payload = (datagram - c_overhead) & ~1u;
    const uint64_t bytes = 2ull * subframe.width * subframe.height;
    const uint64_t packets = (bytes + payload - 1) / payload;
    if (packets > 0xFFFF)
        return false;
    count = static_cast<uint16_t>(packets);
    size = static_cast<uint16_t>(payload);
    return true;
}

IOBufferPtr encode(const Firmware::Request& request, kv::EStatusCode status, const BaseBodyPtr& body)
{
    auto header = std::make_shared<V1::ResponseHeaderBody>();
    header->setSoh(kv::Cmd);
    header->setBodyType(request.bodyType);
    header->setHeaderType(kv::V1Response);
    header->setFooterType(request.footerType);
    header->setStatusCode(status);
    header->setSensorId(request.sensorId);
    const BaseBodyPtr payload = status == kv::Success ? body : nullptr;
    header->setBodyLength(payload ? static_cast<uint32_t>(payload->getBufferLength()) : 0);
    auto footer = kv::V1BodyFactory().generateFooter(static_cast<kv::FooterType>(request.footerType));
    if (const auto sequenced = std::dynamic_pointer_cast<V1::SeqCrc16Body>(footer))
        sequenced->setSequenceNumber(request.sequence);
    if (footer)
        footer->update(header, payload);
    return header->getBuffer() + (payload ? payload->getBuffer() : IOBufferPtr()) +
           (footer ? footer->getBuffer() : IOBufferPtr());
}

} // namespace

namespace {

bool readFrame(const IOBufferPtr& frame, Firmware::Request& request)
{
    const size_t headerLength = V1::RequestHeaderBody::c_length;
    if (!frame || frame->length < headerLength)
        return false;
    V1::RequestHeaderBody header;
    header.setBuffer(frame);
    request.bodyType = header.getBodyType();
    request.sensorId = header.getSensorId();
    request.bodyLength = header.getBodyLength();
    request.footerType = kv::V1None;
    // Foreign datagrams and other cameras' answers are not answered: two
    // cameras would otherwise answer each other's errors for ever.
    if (header.getSoh() != kv::Cmd || header.getHeaderType() == kv::V1Response)
        return false;
    if (header.getHeaderType() != kv::V1Request) {
        request.frameStatus = kv::InvalidHeaderType;
        return true;
    }
    auto footer = kv::V1BodyFactory().generateFooter(static_cast<kv::FooterType>(header.getFooterType()));
    if (!footer) {
        request.frameStatus = kv::InvalidFooterType;
        return true;
    }
    const size_t footerLength = footer->getBufferLength();
    const size_t remaining = frame->length - headerLength;
    // A datagram is one frame; bytes after the footer (the pad byte of the
    // fixed-layout frames) are ignored.
    if (request.bodyLength > remaining || remaining - request.bodyLength < footerLength) {
        request.frameStatus = kv::InvalidMessageLength;
        return true;
    }
    request.body = frame->extract(headerLength, request.bodyLength);
    if (footerLength > 0) {
        footer->setBuffer(frame->extract(headerLength + request.bodyLength, footerLength));
        footer->validate(frame, headerLength + request.bodyLength);
        // The answer carries the same kind of footer, with the request's sequence number.
        request.footerType = header.getFooterType();
        if (const auto sequenced = std::dynamic_pointer_cast<V1::SeqCrc16Body>(footer))
            request.sequence = sequenced->getSequenceNumber();
        if (!footer->isValid())
            request.frameStatus = kv::BadChecksum;
    }
    return true;
}

} // namespace

Firmware::Firmware(const CameraConfig& config, TimePoint start)
    : m_config(config), m_cooler(config.thermal, start),
      m_shutter(config.capabilities.count(ICamera::eSupportsShutter) && config.capabilities.at(ICamera::eSupportsShutter),
                config.shutterMoveMs),
      m_filterWheel(config.filterWheel), m_adaptiveOptics(config.adaptiveOptics), m_options(config.options),
      m_wifi(config.wifi)
{
    const Duration shutterMove = m_shutter.present() ? m_shutter.moveTime() : Duration();
    for (size_t i = 0; i < config.sensors.size(); ++i)
        m_sensors.push_back(std::make_unique<VirtualSensor>(static_cast<uint8_t>(i), config.sensors[i], shutterMove));
}

Firmware::~Firmware() = default;

ICamera::Info Firmware::info() const
{
    ICamera::Info info;
    info.model = m_config.model;
    info.serialNumber = m_config.serialNumber;
    info.firmwareRevision = m_config.firmwareRevision;
    info.wifiFirmwareRevision = m_config.wifiFirmwareRevision;
    info.numberOfSensors = static_cast<uint8_t>(m_sensors.size());
    return info;
}

std::string Firmware::serialText() const
{
    const uint8_t sensorId = m_sensors.empty() ? 0 : m_sensors.front()->config().modelId;
    const auto decoder = kv::SerialDecoderFactory::create(m_config.model, kv::GetSensorModel(m_config.model, sensorId),
                                                          m_config.serialNumber);
    return decoder ? decoder->to_string() : std::string();
}

bool Firmware::capability(ICamera::Capability capability) const
{
    const auto it = m_config.capabilities.find(capability);
    return it != m_config.capabilities.end() && it->second;
}

int Firmware::protocolRevision() const
{
    return kv::getProtocolRevision(info());
}

VirtualSensor* Firmware::sensor(size_t id)
{
    return id < m_sensors.size() ? m_sensors[id].get() : nullptr;
}

ICamera::Status Firmware::status(TimePoint now)
{
    ICamera::Status status;
    status.mainSensorState = m_sensors.size() > 0 ? m_sensors[0]->state(now) : kv::ISensor::Idle;
    status.extSensorState = m_sensors.size() > 1 ? m_sensors[1]->state(now) : kv::ISensor::Idle;
    const bool cooler = capability(ICamera::eSupportsCooler);
    status.sensorTemperature = m_cooler.sensorTemperature(now);
    status.coolerPower = cooler ? m_cooler.power(now) : 0.0f;
    status.heatSinkTemperature = m_cooler.heatSinkTemperature(now);
    status.inputVoltage = capability(ICamera::eSupportsInputVoltage) ? m_config.inputVoltage : 0.0f;
    const bool perAxis = kv::Protocol(protocolRevision()).getFeatureSupported(kv::Protocol::PerAxisPulseGuideStatus);
    status.pulseGuideStatus = m_guidePort.busyBits(now, perAxis);
    status.flag = 0;
    bool open = false;
    for (const auto& s : m_sensors)
        open = open || s->shutterOpen(now);
    status.shutterStatus = open ? kv::ShutterOpen : m_shutter.status(now);
    return status;
}

IOBufferPtr Firmware::answer(const IOBufferPtr& frame, TimePoint now)
{
    Request request;
    if (!readFrame(frame, request))
        return nullptr;
    if (request.frameStatus != kv::Success)
        return isUnanswered(request.bodyType) ? nullptr : encode(request, request.frameStatus, nullptr);
    const Outcome outcome = dispatch(request, now);
    if (outcome.unanswered)
        return nullptr;
    return encode(request, outcome.status, outcome.body);
}

IOBufferPtr Firmware::refusal(const IOBufferPtr& frame, kv::EStatusCode status)
{
    Request request;
    if (!readFrame(frame, request) || isUnanswered(request.bodyType))
        return nullptr;
    return encode(request, request.frameStatus != kv::Success ? request.frameStatus : status, nullptr);
}

bool Firmware::expectsAnswer(const IOBufferPtr& frame)
{
    Request request;
    return readFrame(frame, request) && !isUnanswered(request.bodyType);
}

Firmware::Outcome Firmware::dispatch(const Request& request, TimePoint now)
{
    switch (request.bodyType) {
    case kv::GetCameraInfo: {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        auto body = std::make_shared<V1::GetCameraInfoResponseBody>();
        body->setCameraVariant(m_config.model);
        body->setSerialNumber(m_config.serialNumber);
        body->setFirmwareRevision(m_config.firmwareRevision);
        body->setWifiFirmwareRevision(m_config.wifiFirmwareRevision);
        body->setSensorCount(static_cast<uint8_t>(m_sensors.size()));
        return Outcome::ok(body);
    }
    case kv::GetCameraStatus:
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        return answerCameraStatus(now);
    case kv::GetCameraCapability:
        return answerCapability(request);
    case kv::GetCameraOption:
    case kv::SetCameraOption:
        return answerOption(request);
    case kv::GetNetwork:
    case kv::SetNetwork:
        return answerNetwork(request);
    case kv::SetCooler:
    case kv::GetCoolerState:
    case kv::SetFanSpeed:
        return answerCooler(request, now);
    case kv::ShutterControl:
        return answerShutter(request, now);
    case kv::FWInit:
    case kv::FWGetStatus:
    case kv::FWGoto:
        return answerFilterWheel(request, now);
    case kv::AOInit:
    case kv::AOGetStatus:
    case kv::AOGoto:
        return answerAdaptiveOptics(request, now);
    case kv::PulseGuide:
        return answerPulseGuide(request, now);
    case kv::EchoRequest: {
        kv::EStatusCode status = kv::Success;
        auto body = bodyOf<V1::EchoBody>(request, status);
        return body ? Outcome::ok(body) : Outcome::error(status);
    }
    case kv::GetPeripheralInfo:
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        return answerPeripheralInfo();
    case kv::Disconnect:
        return request.bodyLength == 0 ? Outcome::ok() : Outcome::error(kv::InvalidMessageLength);
    case kv::SetNetworkConfig:
        applyNetworkConfig(request);
        return Outcome::none();
    case kv::SetImageChannels:
        // Where image datagrams are to be streamed; kept by the image transfer.
        return Outcome::none();
    default:
        break;
    }
    if (isSensorRequest(request.bodyType))
        return answerSensor(request, now);
    if (isUnsupported(request.bodyType))
        return Outcome::error(kv::UnsupportedBodyType);
    return Outcome::error(kv::InvalidBodyType);
}

Firmware::Outcome Firmware::answerCameraStatus(TimePoint now)
{
    const ICamera::Status s = status(now);
    auto body = std::make_shared<V1::GetCameraStatusResponseBody>();
    // Cameras with precise cooler power report the percentage itself.
    body->setConvertCoolerPower(!capability(ICamera::eSupportsPrecisionCoolerPower));
    body->setMainSensorState(s.mainSensorState);
    body->setExtSensorState(s.extSensorState);
    body->setSensorTemperature(s.sensorTemperature);
    body->setCoolerPower(s.coolerPower);
    body->setHeatSinkTemperature(s.heatSinkTemperature);
    body->setInputVoltage(s.inputVoltage);
    body->setPulseGuideStatus(static_cast<uint8_t>(s.pulseGuideStatus));
    body->setFlag(static_cast<uint8_t>(s.flag));
    body->setShutterStatus(s.shutterStatus);
    return Outcome::ok(body);
}

Firmware::Outcome Firmware::answerCapability(const Request& request)
{
    // Older firmware does not know the command at all.
    if (!Presets::answersCapabilityQueries(m_config))
        return Outcome::error(kv::InvalidBodyType);
    kv::EStatusCode status = kv::Success;
    const auto query = bodyOf<V1::GetCameraCapabilityRequestBody>(request, status);
    if (!query)
        return Outcome::error(status);
    if (query->getKey() >= ICamera::CameraCapabilityCount)
        return Outcome::error(kv::InvalidParameter);
    auto body = std::make_shared<V1::GetCameraCapabilityResponseBody>();
    body->setKey(query->getKey());
    body->setValue(capability(query->getKey()));
    return Outcome::ok(body);
}

Firmware::Outcome Firmware::answerOption(const Request& request)
{
    kv::EStatusCode status = kv::Success;
    if (request.bodyType == kv::GetCameraOption) {
        const auto query = bodyOf<V1::GetCameraOptionRequestBody>(request, status);
        if (!query)
            return Outcome::error(status);
        const auto it = m_options.find(static_cast<uint8_t>(query->getKey()));
        if (it == m_options.end())
            return Outcome::error(kv::InvalidParameter);
        auto body = std::make_shared<V1::GetCameraOptionResponseBody>();
        body->setKey(query->getKey());
        body->setValue(it->second);
        return Outcome::ok(body);
    }
    const auto change = bodyOf<V1::SetCameraOptionRequestBody>(request, status);
    if (!change)
        return Outcome::error(status);
    if (change->getKey() >= kv::Factory::IFactoryCamera::eCameraOptionCount)
        return Outcome::error(kv::InvalidParameter);
    m_options[static_cast<uint8_t>(change->getKey())] = change->getValue();
    auto body = std::make_shared<V1::SetCameraOptionResponseBody>();
    body->setKey(change->getKey());
    body->setValue(change->getValue());
    return Outcome::ok(body);
}

Firmware::Outcome Firmware::answerNetwork(const Request& request)
{
    if (!capability(ICamera::eSupportsWiFi))
        return Outcome::error(kv::FeatureNotSupported);
    kv::EStatusCode status = kv::Success;
    if (request.bodyType == kv::GetNetwork) {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        auto body = std::make_shared<V1::GetNetworkResponseBody>();
        body->setSsid(m_wifi.ssid.substr(0, V1::GetNetworkResponseBody::c_maxSsidLength));
        body->setPassword(m_wifi.password.substr(0, V1::GetNetworkResponseBody::c_maxPasswordLength));
        body->setNetworkMode(m_wifi.mode);
        body->setUsaCanadaMode(m_wifi.usaCanadaMode);
        body->setHexPassword(m_wifi.hexPassword);
        return Outcome::ok(body);
    }
    const auto change = bodyOf<V1::SetNetworkRequestBody>(request, status);
    if (!change)
        return Outcome::error(status);
    // Lengths beyond the fields, a mode that does not exist, or bits that must be zero.
    const auto ssidLength = static_cast<uint8_t>(request.body->data[1]);
    const auto passwordLength = static_cast<uint8_t>(request.body->data[2]);
    const auto flags = static_cast<uint8_t>(request.body->data[0]);
    if (ssidLength > V1::SetNetworkRequestBody::c_maxSsidLength ||
        passwordLength > V1::SetNetworkRequestBody::c_maxPasswordLength || change->getNetworkMode() > kv::WPA2 ||
        (flags & 0x30) != 0)
        return Outcome::error(kv::InvalidParameter);
    m_wifi.ssid = change->getSsid();
    m_wifi.password = change->getPassword();
    m_wifi.mode = change->getNetworkMode();
    m_wifi.usaCanadaMode = change->getUsaCanadaMode();
    m_wifi.hexPassword = change->getHexPassword();
    return Outcome::ok();
}

Firmware::Outcome Firmware::answerCooler(const Request& request, TimePoint now)
{
    kv::EStatusCode status = kv::Success;
    switch (request.bodyType) {
    case kv::SetCooler: {
        if (!capability(ICamera::eSupportsCooler))
            return Outcome::error(kv::FeatureNotSupported);
        const auto change = bodyOf<V1::SetCoolerRequestBody>(request, status);
        if (!change)
            return Outcome::error(status);
        const float setpoint = change->getSetpoint();
        if (change->getIsEnabled() && !m_sensors.empty()) {
            const SensorConfig& sensor = m_sensors.front()->config();
            if (setpoint < sensor.coolerSetpointMin || setpoint > sensor.coolerSetpointMax)
                return Outcome::error(kv::InvalidParameter);
        }
        m_cooler.set(change->getIsEnabled(), setpoint, now);
        return Outcome::ok();
    }
    case kv::GetCoolerState: {
        if (!Presets::answersCoolerState(m_config))
            return Outcome::error(kv::InvalidBodyType);
        if (!capability(ICamera::eSupportsCooler))
            return Outcome::error(kv::FeatureNotSupported);
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        auto body = std::make_shared<V1::GetCoolerStateResponseBody>();
        body->setEnabled(m_cooler.enabled());
        body->setSetpoint(m_cooler.setpoint());
        return Outcome::ok(body);
    }
    default: {
        if (!capability(ICamera::eSupportsFan))
            return Outcome::error(kv::FeatureNotSupported);
        const auto change = bodyOf<V1::SetFanSpeedRequestBody>(request, status);
        if (!change)
            return Outcome::error(status);
        if (change->getFanSpeed() > 100)
            return Outcome::error(kv::InvalidParameter);
        m_fanSpeed = change->getFanSpeed();
        return Outcome::ok();
    }
    }
}

Firmware::Outcome Firmware::answerShutter(const Request& request, TimePoint now)
{
    if (request.sensorId >= m_sensors.size() && !m_sensors.empty())
        return Outcome::error(kv::InvalidSensorId);
    if (!m_shutter.present())
        return Outcome::error(kv::FeatureNotSupported);
    kv::EStatusCode status = kv::Success;
    const auto change = bodyOf<V1::ShutterControlRequestBody>(request, status);
    if (!change)
        return Outcome::error(status);
    for (const auto& s : m_sensors)
        if (s->busy(now))
            return Outcome::error(kv::DeviceBusy);
    return Outcome::error(m_shutter.command(change->getAction(), now));
}

Firmware::Outcome Firmware::answerFilterWheel(const Request& request, TimePoint now)
{
    if (!capability(ICamera::eSupportsFilterWheel))
        return Outcome::error(kv::FeatureNotSupported);
    kv::EStatusCode status = kv::Success;
    switch (request.bodyType) {
    case kv::FWInit: {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        m_filterWheel.home(now);
        auto body = std::make_shared<V1::FWInitResponseBody>();
        body->setModel(m_filterWheel.hardwareId());
        return Outcome::ok(body);
    }
    case kv::FWGetStatus: {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        auto body = std::make_shared<V1::FWGetStatusResponseBody>();
        body->setStatus(m_filterWheel.status(now));
        return Outcome::ok(body);
    }
    default: {
        const auto move = bodyOf<V1::FWGotoRequestBody>(request, status);
        if (!move)
            return Outcome::error(status);
        return Outcome::error(m_filterWheel.moveTo(move->getPosition(), now));
    }
    }
}

Firmware::Outcome Firmware::answerAdaptiveOptics(const Request& request, TimePoint now)
{
    if (!capability(ICamera::eSupportsAdaptiveOptics))
        return Outcome::error(kv::FeatureNotSupported);
    kv::EStatusCode status = kv::Success;
    switch (request.bodyType) {
    case kv::AOInit: {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        auto body = std::make_shared<V1::AOInitResponseBody>();
        body->setModel(m_adaptiveOptics.model());
        return Outcome::ok(body);
    }
    case kv::AOGetStatus: {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        auto body = std::make_shared<V1::AOGetStatusResponseBody>();
        body->setStatus(m_adaptiveOptics.status(now));
        return Outcome::ok(body);
    }
    default: {
        const auto move = bodyOf<V1::AOGotoRequestBody>(request, status);
        if (!move)
            return Outcome::error(status);
        return Outcome::error(m_adaptiveOptics.moveTo(move->getTip(), move->getTilt(), now));
    }
    }
}

Firmware::Outcome Firmware::answerPulseGuide(const Request& request, TimePoint now)
{
    if (!capability(ICamera::eSupportsGuidePort))
        return Outcome::error(kv::FeatureNotSupported);
    kv::EStatusCode status = kv::Success;
    const auto pulse = bodyOf<V1::PulseGuideRequestBody>(request, status);
    if (!pulse)
        return Outcome::error(status);
    return Outcome::error(
        m_guidePort.pulse(pulse->getGuideDirection(), pulse->getGuideDuration(), pulse->getAbort(), now));
}

Firmware::Outcome Firmware::answerPeripheralInfo()
{
    if (!capability(ICamera::eSupportsPeripheralInfo))
        return Outcome::error(kv::FeatureNotSupported);
    V1::TPeripheralInfoList devices;
    for (size_t i = 0; i < m_sensors.size(); ++i)
        devices.push_back({V1::PeripheralType::Sensor, m_sensors[i]->config().modelId, static_cast<uint32_t>(i)});
    if (m_filterWheel.present()) {
        // The primary wheel at address 0, the wheels behind it after it.
        devices.push_back({V1::PeripheralType::FilterWheel, m_filterWheel.hardwareId(), 0});
        for (size_t i = 0; i < m_filterWheel.children().size(); ++i)
            devices.push_back(
                {V1::PeripheralType::FilterWheel, m_filterWheel.children()[i], static_cast<uint32_t>(i + 1)});
    }
    if (m_adaptiveOptics.present())
        devices.push_back({V1::PeripheralType::AdaptiveOptics, m_adaptiveOptics.model(), 0});
    auto body = std::make_shared<V1::GetPeripheralInfoResponseBody>();
    body->setVersion(1);
    body->setPeripheralInfoList(devices);
    return Outcome::ok(body);
}

void Firmware::applyNetworkConfig(const Request& request)
{
    V1::TNetworkConfigBody config;
    if (request.bodyLength < sizeof(config))
        return;
    std::memcpy(&config, request.body->data, sizeof(config));
    const std::string serial(config.serial, strnlen(config.serial, sizeof(config.serial)));
    // Every camera hears the broadcast; only the one named takes it.
    if (serial.empty() || serial != serialText())
        return;
    NetworkAssignment assignment;
    std::memcpy(assignment.mac.data(), config.mac, assignment.mac.size());
    std::memcpy(assignment.address.data(), config.deviceIP, assignment.address.size());
    std::memcpy(assignment.gateway.data(), config.gateway, assignment.gateway.size());
    std::memcpy(assignment.subnetMask.data(), config.subnetMask, assignment.subnetMask.size());
    m_networkAssignment = assignment;
}

// Sensor requests: the sensor named by the header's sensor id answers.
// Image transfer (StartDownload, PacketRequest, PacketRequestExt, GetFrameRequest,
// GetImageMetadata, SetImageChannels) hangs here, with the pixels from
// imageSource() and the image datagrams lost by Faults::dropImageDatagram().
Firmware::Outcome Firmware::answerSensor(const Request& request, TimePoint now)
{
    VirtualSensor* sensor = this->sensor(request.sensorId);
    if (!sensor)
        return Outcome::error(kv::InvalidSensorId);
    const SensorConfig& config = sensor->config();
    kv::EStatusCode status = kv::Success;
    switch (request.bodyType) {
    case kv::GetSensorInfo: {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        auto body = std::make_shared<V1::GetSensorInfoResponseBody>();
        body->setSensorModel(config.modelId);
        body->setPixelsX(config.pixelsX);
        body->setPixelsY(config.pixelsY);
        body->setReadoutChannelCount(config.readoutChannels);
        body->setFilterType(config.filterType);
        body->setFrameType(config.frameType);
        body->setPixelSizeX(config.pixelSizeX);
        body->setPixelSizeY(config.pixelSizeY);
        body->setHasRbiPreflash(config.hasRbiPreflash);
        body->setReserved(config.flag);
        body->setCoolerSetpointMin(config.coolerSetpointMin);
        body->setCoolerSetpointMax(config.coolerSetpointMax);
        body->setMaxBinX(config.maxBinX);
        body->setMaxBinY(config.maxBinY);
        body->setExposurePrecision(config.exposurePrecision);
        body->setMinExposureDuration(config.minExposure);
        return Outcome::ok(body);
    }
    case kv::GetSensorSettings: {
        const auto query = bodyOf<V1::GetSensorSettingsRequestBody>(request, status);
        if (!query)
            return Outcome::error(status);
        uint16_t value = 0;
        status = sensor->getSetting(query->getSetting(), value);
        if (status != kv::Success)
            return Outcome::error(status);
        auto body = std::make_shared<V1::GetSensorSettingsResponseBody>();
        body->setSetting(query->getSetting());
        body->setValue(value);
        return Outcome::ok(body);
    }
    case kv::SetSensorSettings: {
        const auto change = bodyOf<V1::SetSensorSettingsRequestBody>(request, status);
        if (!change)
            return Outcome::error(status);
        status = sensor->setSetting(change->getSetting(), change->getValue(), now);
        if (status != kv::Success)
            return Outcome::error(status);
        auto body = std::make_shared<V1::SetSensorSettingsResponseBody>();
        body->setSetting(change->getSetting());
        body->setValue(change->getValue());
        return Outcome::ok(body);
    }
    case kv::GetSensorCalibration: {
        if (!bodyOf<V1::GetSensorSettingsRequestBody>(request, status))
            return Outcome::error(status);
        kv::ISensor::Calibration calibration;
        status = sensor->getCalibration(calibration);
        if (status != kv::Success)
            return Outcome::error(status);
        auto body = std::make_shared<V1::GetSensorCalibrationResponseBody>();
        body->setCalibration(calibration);
        return Outcome::ok(body);
    }
    case kv::SetSensorCalibration: {
        const auto change = bodyOf<V1::SetSensorCalibrationRequestBody>(request, status);
        if (!change)
            return Outcome::error(status);
        return Outcome::error(sensor->setCalibration(change->getCalibration(), change->getSaveToEeprom(), now));
    }
    case kv::GetHiddenSensorSetting: {
        const auto query = bodyOf<V1::GetSensorCalibrationByKeyRequestBody>(request, status);
        if (!query)
            return Outcome::error(status);
        uint32_t value = 0;
        status = sensor->getCalibration(query->getKey(), query->getSubKey(), value);
        if (status != kv::Success)
            return Outcome::error(status);
        auto body = std::make_shared<V1::GetSensorCalibrationByKeyResponseBody>();
        body->setKey(query->getKey());
        body->setSubKey(query->getSubKey());
        body->setValue(value);
        return Outcome::ok(body);
    }
    case kv::SetHiddenSensorSetting: {
        const auto change = bodyOf<V1::SetSensorCalibrationByKeyRequestBody>(request, status);
        if (!change)
            return Outcome::error(status);
        status = sensor->setCalibration(change->getKey(), change->getSubKey(), change->getValue(), now);
        if (status != kv::Success)
            return Outcome::error(status);
        auto body = std::make_shared<V1::SetSensorCalibrationByKeyResponseBody>();
        body->setKey(change->getKey());
        body->setSubKey(change->getSubKey());
        body->setValue(change->getValue());
        return Outcome::ok(body);
    }
    case kv::GetSubframe: {
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        const SubframeRecord& s = sensor->subframe();
        auto body = std::make_shared<V1::GetSubframeResponseBody>();
        body->setXOffset(s.x);
        body->setYOffset(s.y);
        body->setXSize(s.width);
        body->setYSize(s.height);
        body->setBinX(s.binX);
        body->setBinY(s.binY);
        return Outcome::ok(body);
    }
    case kv::SetSubframe: {
        const auto change = bodyOf<V1::SetSubframeRequestBody>(request, status);
        if (!change)
            return Outcome::error(status);
        return Outcome::error(sensor->setSubframe({change->getXOffset(), change->getYOffset(), change->getXSize(),
                                                    change->getYSize(), change->getBinX(), change->getBinY()},
                                                   now));
    }
    case kv::SetSubframeExt: {
        const auto change = bodyOf<kv::V2::SetSubframeRequestBody>(request, status);
        if (!change)
            return Outcome::error(status);
        const SubframeRecord subframe{change->getXOffset(), change->getYOffset(), change->getXSize(),
                                      change->getYSize(), change->getBinX(), change->getBinY()};
        uint16_t packetCount = 0, packetSize = 0;
        if (!packetsFor(subframe, change->getMTU(), packetCount, packetSize))
            return Outcome::error(kv::InvalidParameter);
        status = sensor->setSubframe(subframe, now);
        if (status != kv::Success)
            return Outcome::error(status);
        auto body = std::make_shared<kv::V2::SetSubframeResponseBody>();
        body->setPacketCount(packetCount);
        body->setPacketSize(packetSize);
        return Outcome::ok(body);
    }
    case kv::StartExposure: {
        const auto start = bodyOf<V1::StartExposureRequestBody>(request, status);
        if (!start)
            return Outcome::error(status);
        ExposureRequest exposure;
        exposure.duration = start->getDuration();
        exposure.lightFrame = start->getIsLightFrame();
        exposure.externalTrigger = start->getIsTriggerMode();
        exposure.rbiPreflash = start->getIsRbiEnabled();
        exposure.readoutMode = start->getReadoutChannels();
        return Outcome::error(sensor->startExposure(exposure, now));
    }
    case kv::AbortExposure:
        if (request.bodyLength != 0)
            return Outcome::error(kv::InvalidMessageLength);
        return Outcome::error(sensor->abortExposure(now));
    case kv::StartDownload:
        // Image transfer: the image source and the packet paths hang here.
        if (sensor->state(now) != kv::ISensor::ReadyToDownload)
            return Outcome::error(kv::ImageNotAvailable);
        return Outcome::error(kv::UnsupportedBodyType);
    default:
        // PacketRequest, PacketRequestExt, GetFrameRequest, GetImageMetadata: image transfer.
        return Outcome::error(kv::UnsupportedBodyType);
    }
}

} // namespace kvsim
