#include "sensor/Sensor.h"

#include "KVSerialNumbers/SerialNumbers.h"
#include "camera/Camera.h"
#include "image/Image.h"
#include "logging/LogMessage.h"
#include "protocol/AccessSensorCalibrationByKeyBody.h"
#include "protocol/GetImageMetadataResponseBody.h"
#include "protocol/GetSensorCalibrationByKeyRequestBody.h"
#include "protocol/GetSensorCalibrationResponseBody.h"
#include "protocol/GetSensorInfoResponseBody.h"
#include "protocol/GetSensorSettingsRequestBody.h"
#include "protocol/GetSensorSettingsResponseBody.h"
#include "protocol/GetSubframeResponseBody.h"
#include "protocol/Message.h"
#include "protocol/SetSensorCalibrationRequestBody.h"
#include "protocol/SetSensorSettingsRequestBody.h"
#include "protocol/SetSensorSettingsResponseBody.h"
#include "protocol/SetSubframeRequestBody.h"
#include "protocol/ShutterControlRequestBody.h"
#include "protocol/StartExposureRequestBody.h"
#include "protocol/V2SetSubframeRequestBody.h"
#include "sensor/SensorSubframeAdjustments.h"
#include "transport/Comm.h"
#include "transport/Endpoint.h"
#include "transport/MessageContext.h"
#include "transport/Promise.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace kv {

const TSoftwareBinningSupport c_softwareBinningSupport = {
    {ISensor::P1300, {4, 4}},      {ISensor::IMX428, {4, 4}},        {ISensor::IMX428_7, {4, 4}},
    {ISensor::GSENSE4040, {4, 4}}, {ISensor::GSENSE4040BSI, {4, 4}}, {ISensor::GSENSE2020, {4, 4}},
};

namespace {

std::vector<int> steps(int first, int last, int step)
{
    std::vector<int> values;
    for (int v = first; v <= last; v += step)
        values.push_back(v);
    return values;
}

std::vector<int> gsense4040LowGains()
{
    std::vector<int> values = steps(40, 240, 20);
    values.push_back(250);
    const std::vector<int> upper = steps(260, 660, 20);
    values.insert(values.end(), upper.begin(), upper.end());
    return values;
}

const std::vector<int> c_imxGains = {100, 125, 150, 175, 200, 225, 250, 275, 300, 325, 350, 400, 450, 500,
                                     600, 700, 800, 900, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 5000, 6000, 6300};

SensorReadoutList sensorReadoutModes()
{
    const ReadoutModeList normal = {"Normal"};
    const ReadoutModeList dual = {"Normal", "Dual-Channel"};
    const ReadoutModeList gsense4040 = {"HDR", "High Gain", "Low Gain", "High Gain Tandem"};
    const ReadoutModeList imx428 = {"Low Gain",           "Medium Gain",      "High Gain",
                                    "Low Gain Tandem",    "Medium Gain Tandem", "High Gain Tandem",
                                    "Low Gain 8-bit",     "Medium Gain 8-bit", "High Gain 8-bit"};
    const ReadoutModeList imx455 = {"High Gain", "Low Gain"};
    return {
        {ISensor::RESERVED1, normal},
        {ISensor::RESERVED2, normal},
        {ISensor::ICX694, {"Normal", "Fast Mode", "Internal IR LED", "Circular Buffer", "Flash Mode"}},
        {ISensor::ICX814, {"Normal", "Fast Mode", "Internal IR LED"}},
        {ISensor::CCD4710, normal},
        {ISensor::CCD7700, normal},
        {ISensor::RESERVED3, normal},
        {ISensor::RESERVED4, normal},
        {ISensor::RESERVED6, normal},
        {ISensor::RESERVED5, normal},
        {ISensor::KAF3200, {"Normal", "Low-Noise"}},
        {ISensor::KAF8300, normal},
        {ISensor::RESERVED7, dual},
        {ISensor::RESERVED8, dual},
        {ISensor::GSENSE4040, gsense4040},
        {ISensor::GSENSE4040BSI, gsense4040},
        {ISensor::IMX428, imx428},
        {ISensor::IMX428_7, imx428},
        {ISensor::GSENSE2020, {"HDR", "High Gain", "Low Gain", "High Gain Tandem", "2-CMS", "2-CMS Tandem"}},
        {ISensor::IMX290, normal},
        {ISensor::IMX455, imx455},
        {ISensor::IMX461, imx455},
    };
}

// Camera models whose sensors have readout-mode names.
constexpr ICamera::Model c_readoutCameras[] = {ICamera::Brisa,       ICamera::BrisaPro, ICamera::Reserved2,
                                               ICamera::BrisaCMOS,   ICamera::Vireo,    ICamera::MTC,
                                               ICamera::BrisaBC2020, ICamera::VireoC,   ICamera::BrisaBC455};

std::string lastError(IPromise& promise, size_t bufferSize)
{
    std::vector<char> buffer(bufferSize, '\0');
    size_t length = buffer.size();
    promise.getLastError(buffer.data(), length);
    return std::string(buffer.data(), strnlen(buffer.data(), length));
}

IPromisePtr invalidParameter(const std::string& text)
{
    return Promise::Completed(IPromise::Error, InvalidParameter, text);
}

bool fitsU16(int32_t value)
{
    return value >= 0 && value <= std::numeric_limits<uint16_t>::max();
}

bool fitsU8(int64_t value)
{
    return value >= 0 && value <= std::numeric_limits<uint8_t>::max();
}

} // namespace

const std::set<ISensor::Model> Sensor::c_legacyCalibrationDataUnsupported = {
    IMX428, IMX428_7, GSENSE4040, GSENSE4040BSI, GSENSE2020, IMX290, IMX455, IMX461};

const TSensorAdjustableGainMap Sensor::c_adjGainMap = {
    {GSENSE4040, {{eAdjustableADCGain0, steps(100, 1650, 50)}, {eAdjustableADCGain1, gsense4040LowGains()}}},
    {GSENSE4040BSI, {{eAdjustableADCGain0, steps(100, 1650, 50)}, {eAdjustableADCGain1, gsense4040LowGains()}}},
    {GSENSE2020, {{eAdjustableADCGain0, steps(100, 1300, 50)}, {eAdjustableADCGain1, steps(100, 1300, 50)}}},
    {IMX455, {{eAdjustableADCGain0, c_imxGains}, {eAdjustableADCGain1, c_imxGains}}},
    {IMX461, {{eAdjustableADCGain0, c_imxGains}, {eAdjustableADCGain1, c_imxGains}}},
};

const TSensorAdjustableGainDefaultMap Sensor::c_defaultAdjGainMap = {
    {GSENSE4040, {{eAdjustableADCGain0, 1650}, {eAdjustableADCGain1, 250}}},
    {GSENSE4040BSI, {{eAdjustableADCGain0, 1650}, {eAdjustableADCGain1, 250}}},
    {GSENSE2020, {{eAdjustableADCGain0, 1050}, {eAdjustableADCGain1, 150}}},
    {IMX455, {{eAdjustableADCGain0, 300}, {eAdjustableADCGain1, 100}}},
    {IMX461, {{eAdjustableADCGain0, 300}, {eAdjustableADCGain1, 100}}},
};

Sensor::Sensor(uint8_t sensorId, ICamera::Model cameraModel, Camera& camera)
    : Peripheral(camera, camera.getCommRef()), m_cameraModel(cameraModel), m_sensorId(sensorId)
{
    const SensorReadoutList sensors = sensorReadoutModes();
    for (const ICamera::Model model : c_readoutCameras)
        m_readoutModes[model] = sensors;
}

Sensor::~Sensor() = default;

// ---- Accessors --------------------------------------------------------------

uint32_t Sensor::getSensorId()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_sensorId;
}

ISensor::Info Sensor::getInfo()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Info info = m_info;
    const auto floor = c_softwareBinningSupport.find(info.model);
    if (floor != c_softwareBinningSupport.end()) {
        info.maxBinX = std::max(info.maxBinX, floor->second.first);
        info.maxBinY = std::max(info.maxBinY, floor->second.second);
    }
    return info;
}

std::pair<uint32_t, uint32_t> Sensor::getMaxHardwareBinningXY()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return {m_info.maxBinX, m_info.maxBinY};
}

ISensor::Calibration Sensor::getCalibration()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_legacyCalibration;
}

int Sensor::_getSetting(Setting setting)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto it = m_settingsMap.find(setting);
    if (it == m_settingsMap.end())
        throw std::out_of_range("Sensor setting not found");
    return it->second;
}

void Sensor::_setSetting(Setting setting, uint16_t value)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_settingsMap[setting] = value;
}

int Sensor::getSetting(Setting setting)
{
    try {
        return _getSetting(setting);
    } catch (...) {
        return 0;
    }
}

ISensor::Settings Sensor::getSettings()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto value = [this](Setting setting, int fallback) {
        const auto it = m_settingsMap.find(setting);
        return it == m_settingsMap.end() ? fallback : static_cast<int>(it->second);
    };
    Settings s;
    s.useOverscan = value(UseOverscan, 0) != 0;
    s.rbiPreflash.duration = value(RBIPreflashDuration, 400);
    s.rbiPreflash.flushes = value(RBIPreflashFlushCount, 3);
    s.useWindowHeater = value(UseWindowHeater, 0) != 0;
    s.fanSpeed = value(FanSpeed, 0);
    s.enableIRLEDs = value(ToggleIRLEDs, 0) != 0;
    s.useOnChipBinning = value(UseOnChipBinning, 0) != 0;
    s.useExtTrigger = value(UseExtTrigger, 0) != 0;
    s.autoFanSpeed = value(AutoFanMode, 1) != 0;
    s.shutterPolarity = value(ShutterPolarity, 0) != 0 ? 1 : 0;
    s.enableStatusLED = value(EnableStatusLED, 1) != 0;
    s.partialExposureLength = value(PartialExposureLength, 1);
    s.useFWAsShutter = value(UseFWAsShutter, 0);
    return s;
}

TSubframe Sensor::getSubframe()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_subframe;
}

IImagePtr Sensor::getImage()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pImage.get();
}

uint32_t Sensor::getCalibration(CalibrationKey key, int index)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto byKey = m_calibration.find(key);
    if (byKey == m_calibration.end())
        return c_noCalibrationValue;
    const auto bySub = byKey->second.find(index);
    if (bySub == byKey->second.end())
        return c_noCalibrationValue;
    return static_cast<uint32_t>(bySub->second);
}

ReadoutModeList Sensor::GetReadoutModes()
{
    const ICamera::Model cameraModel = getCamera().getInfo().model;
    Model sensorModel;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        sensorModel = m_info.model;
    }
    const auto byCamera = m_readoutModes.find(cameraModel);
    if (byCamera != m_readoutModes.end()) {
        const auto bySensor = byCamera->second.find(sensorModel);
        if (bySensor != byCamera->second.end())
            return bySensor->second;
    }
    return {"Normal"};
}

void Sensor::getReadoutModes(char* buffer, size_t& length)
{
    std::string text;
    for (const std::string& name : GetReadoutModes()) {
        if (!text.empty())
            text += "\n";
        text += name;
    }
    if (buffer == nullptr) {
        length = 0;
        return;
    }
    length = std::min(length, text.size());
    std::memcpy(buffer, text.data(), length);
}

uint32_t Sensor::getAdjustableGainCount(AdjustableGainMode mode)
{
    const Model model = getInfo().model;
    const auto byModel = c_adjGainMap.find(model);
    if (byModel == c_adjGainMap.end())
        return 0;
    const auto byMode = byModel->second.find(mode);
    return byMode == byModel->second.end() ? 0 : static_cast<uint32_t>(byMode->second.size());
}

void Sensor::getAdjustableGains(AdjustableGainMode mode, int* gains, uint32_t& count)
{
    // count comes in as the room in `gains`; never write past it.
    const uint32_t room = gains != nullptr ? count : 0;
    count = getAdjustableGainCount(mode);
    if (count == 0 || room == 0)
        return;
    const std::vector<int>& list = c_adjGainMap.at(getInfo().model).at(mode);
    const size_t n = std::min<size_t>(room, list.size());
    std::copy(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(n), gains);
}

uint32_t Sensor::getDefaultAdjustableGain(AdjustableGainMode mode)
{
    const auto byModel = c_defaultAdjGainMap.find(getInfo().model);
    if (byModel == c_defaultAdjGainMap.end())
        return 0;
    const auto byMode = byModel->second.find(mode);
    return byMode == byModel->second.end() ? 0 : static_cast<uint32_t>(byMode->second);
}

std::string Sensor::getModelName(ICamera::Model cameraModel)
{
    return GetSensorName(cameraModel, getInfo().model);
}

ISensor::SoftwareBinningMode Sensor::getSoftwareBinningMode()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_binMode;
}

bool Sensor::hasMetadataKeys()
{
    return getCamera().getCapability(ICamera::eSupportsMetadataKeys);
}

std::string Sensor::getMetadataKeys()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_metadataKeys;
}

TSubframe Sensor::getUserSubframe()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_userSubframe;
}

void Sensor::setUserSubframe(const TSubframe& subframe)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_userSubframe = subframe;
}

TSubframe Sensor::getCameraSubframe()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_cameraSubframe;
}

void Sensor::setCameraSubframe(const TSubframe& subframe)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_cameraSubframe = subframe;
}

bool Sensor::getIsDualFrame()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_isDualFrame;
}

void Sensor::setIsDualFrame(bool dualFrame)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_isDualFrame = dualFrame;
}

std::chrono::system_clock::time_point Sensor::getExposureStartTimestamp()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_exposureStartTimestamp;
}

TExposureOptions Sensor::getLastExposureOptions()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_lastExposureOptions;
}

TCalibrationMap Sensor::getCalibrationMap()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_calibration;
}

std::map<ISensor::Setting, uint16_t> Sensor::getSettingsMap()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_settingsMap;
}

void Sensor::queueImgType(uint32_t id, const std::string& type)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_imgTypeList.push_back(type);
    m_imgIdList.push_back(id);
}

// ---- Requests ---------------------------------------------------------------

void Sensor::log(int severity, const std::string& text)
{
    getCamera().log(static_cast<logging::ELogSeverity>(severity), text);
}

void Sensor::fail(const std::string& text)
{
    log(logging::eERRORL1, text);
    throw std::runtime_error(text);
}

EndpointPtr Sensor::requireEndpoint()
{
    EndpointPtr endpoint = getCamera().getEndpoint();
    if (!endpoint)
        fail("Camera has no valid endpoint.");
    return endpoint;
}

namespace {

template <class T>
std::shared_ptr<T> typedBody(Message& message)
{
    return message.getTypedBody<T>();
}

} // namespace

IPromisePtr Sensor::request(BodyType bodyType, MessagePriority priority, const std::string& label,
                            const std::function<void(Message&)>& fill, const std::function<void()>& onBound)
{
    Comm& comm = getComm();
    const FooterType footer = comm.getFooterType();
    const EndpointPtr endpoint = requireEndpoint();
    auto requestMessage = std::make_shared<V1RequestMessage>(bodyType, footer);
    auto responseMessage = std::make_shared<V1ResponseMessage>(bodyType, footer);
    requestMessage->setSensorId(m_sensorId);
    if (fill)
        fill(*requestMessage);
    requestMessage->updateEndpoint(endpoint, -1);
    if (onBound)
        onBound();
    auto context = std::make_shared<MessageContext>(requestMessage, responseMessage, endpoint,
                                                    static_cast<uint32_t>(priority), this, label);
    queueMessage(context);
    return context->getPromise().get();
}

IPromisePtr Sensor::queryInfo()
{
    return request(GetSensorInfo, High, "Sensor::queryInfo", nullptr);
}

IPromisePtr Sensor::querySetting(Setting setting)
{
    // The wire carries one byte: a wider code would ask for another setting.
    if (!fitsU8(setting))
        return invalidParameter("Requested setting is not supported by this sensor.");
    return request(GetSensorSettings, High, "Sensor::querySetting", [&](Message& m) {
        auto body = typedBody<V1::GetSensorSettingsRequestBody>(m);
        if (!body)
            fail("Message had no body");
        body->setSetting(setting);
    });
}

IPromisePtr Sensor::queryCalibration()
{
    return request(GetSensorCalibration, High, "Sensor::querySensorCalibration", [&](Message& m) {
        if (!typedBody<V1::GetSensorSettingsRequestBody>(m))
            fail("Message had no body");
    });
}

IPromisePtr Sensor::queryCalibration(CalibrationKey key, int index)
{
    if (!fitsU8(key) || !fitsU8(index))
        return invalidParameter("Requested calibration key or index is out of range.");
    return request(GetHiddenSensorSetting, High, "Sensor::queryCalibrationByKey", [&](Message& m) {
        auto body = typedBody<V1::GetSensorCalibrationByKeyRequestBody>(m);
        if (!body)
            fail("Message had no body");
        body->setKey(key);
        body->setSubKey(static_cast<uint8_t>(index));
    });
}

IPromisePtr Sensor::setCalibration(CalibrationKey key, int index, int value)
{
    if (!fitsU8(key) || !fitsU8(index))
        return invalidParameter("Requested calibration key or index is out of range.");
    return request(SetHiddenSensorSetting, High, "Sensor::SetCalibration", [&](Message& m) {
        auto body = typedBody<V1::SetSensorCalibrationByKeyRequestBody>(m);
        if (!body)
            fail("Message had no body");
        body->setKey(key);
        body->setSubKey(static_cast<uint8_t>(index));
        body->setValue(static_cast<uint32_t>(value));
    });
}

IPromisePtr Sensor::SetCalibration(const Calibration& calibration, bool persist)
{
    return request(SetSensorCalibration, High, "Sensor::SetCalibration", [&](Message& m) {
        auto body = typedBody<V1::SetSensorCalibrationRequestBody>(m);
        if (!body)
            fail("Message had no body");
        // Offsets travel as sign-magnitude words (bit 8 the sign).
        body->setCalibration(calibration);
        body->setSaveToEeprom(persist);
        body->setSensorId(m_sensorId);
    });
}

IPromisePtr Sensor::querySubframe()
{
    return request(GetSubframe, High, "Sensor::querySubframe", nullptr);
}

IPromisePtr Sensor::setSetting(Setting setting, int value)
{
    if (setting == SoftwareBinMode) {
        if (value == SumAndClip || value == Average) {
            std::lock_guard<std::recursive_mutex> lock(m_mutex);
            m_binMode = static_cast<SoftwareBinningMode>(value);
            return Promise::Completed(IPromise::Complete, Success, "");
        }
        return invalidParameter("Requested software binning mode was invalid. Got=" + std::to_string(value) +
                                ", Expected=[" + std::to_string(SumAndClip) + "," + std::to_string(Count) + ")");
    }
    if (setting > SettingCount)
        return invalidParameter("Requested setting is not supported by this sensor.");
    // The camera takes 16 bits: a wider value would arrive as another one.
    if (!fitsU16(value))
        return invalidParameter("Requested setting value was invalid. Got=" + std::to_string(value) +
                                ", Expected=[0,65535]");
    return request(SetSensorSettings, High, "Sensor::setSetting", [&](Message& m) {
        auto body = typedBody<V1::SetSensorSettingsRequestBody>(m);
        if (!body)
            fail("Message had no body");
        body->setSetting(setting);
        body->setValue(static_cast<uint16_t>(value));
    });
}

IPromisePtr Sensor::setSubframe(const TSubframe& subframe)
{
    Camera& camera = getCamera();
    const bool extended = camera.getCapability(ICamera::eSupportsFibreXferProtocol);
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_userSubframe = subframe;
        m_cameraSubframe = subframe;
    }
    try {
        if (const ISensorSubframeAdjustmentPtr adjustment = ISensorSubframeAdjustment::getAdjustment(*this)) {
            if (camera.getCapability(ICamera::eSupportsOnChipBinning))
                adjustment->setOnChipBinning(getSetting(UseOnChipBinning) != 0);
            setCameraSubframe(adjustment->adjust(subframe));
        }
    } catch (const std::exception&) {
        // The request carries the subframe as it stands.
    }
    const TSubframe s = getCameraSubframe();
    // Fields of 16 and 8 bits: a value that does not fit would reach the
    // camera as another, valid-looking one.
    if (!fitsU16(s.left) || !fitsU16(s.top) || !fitsU16(s.width) || !fitsU16(s.height) || !fitsU8(s.binX) ||
        !fitsU8(s.binY))
        return invalidParameter("Requested subframe does not fit the camera's subframe fields.");
    if (extended) {
        return request(SetSubframeExt, High, "Sensor::SetSubframe", [&](Message& m) {
            auto body = typedBody<V2::SetSubframeRequestBody>(m);
            if (!body)
                fail("Message had no body");
            body->setXOffset(static_cast<uint16_t>(s.left));
            body->setYOffset(static_cast<uint16_t>(s.top));
            body->setXSize(static_cast<uint16_t>(s.width));
            body->setYSize(static_cast<uint16_t>(s.height));
            body->setBinX(static_cast<uint8_t>(s.binX));
            body->setBinY(static_cast<uint8_t>(s.binY));
            body->setMTU(c_subframeMtu);
        });
    }
    return request(SetSubframe, High, "Sensor::SetSubframe", [&](Message& m) {
        auto body = typedBody<V1::SetSubframeRequestBody>(m);
        if (!body)
            fail("Message had no body");
        body->setXOffset(static_cast<uint16_t>(s.left));
        body->setYOffset(static_cast<uint16_t>(s.top));
        body->setXSize(static_cast<uint16_t>(s.width));
        body->setYSize(static_cast<uint16_t>(s.height));
        body->setBinX(static_cast<uint8_t>(s.binX));
        body->setBinY(static_cast<uint8_t>(s.binY));
    });
}

IPromisePtr Sensor::startExposure(const TExposureOptions& options)
{
    // One byte on the wire: mode 256 would start mode 0.
    if (!fitsU8(options.readoutMode))
        return invalidParameter("Requested readout mode was invalid. Got=" + std::to_string(options.readoutMode));
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_lastExposureOptions = options;
    }
    return request(
        StartExposure, High, "Sensor::StartExposure",
        [&](Message& m) {
            auto body = typedBody<V1::StartExposureRequestBody>(m);
            if (!body)
                fail("Message had no body");
            body->setDuration(options.duration);
            body->setIsLightFrame(options.isLightFrame);
            body->setIsRbiEnabled(options.useRBIPreflash);
            body->setIsTriggerMode(options.useExtTrigger);
            body->setReadoutChannels(static_cast<uint8_t>(options.readoutMode));
        },
        [this] {
            std::lock_guard<std::recursive_mutex> lock(m_mutex);
            m_exposureStartTimestamp = std::chrono::system_clock::now();
        });
}

IPromisePtr Sensor::DebugStartExposure(uint32_t id, const char* type, const TExposureOptions& options)
{
    queueImgType(id, type != nullptr ? type : "");
    return startExposure(options);
}

IPromisePtr Sensor::startDownload()
{
    // Downloading images arrives with the image processors.
    return Promise::Completed(IPromise::Error, FeatureNotSupported, "Image download is not available.");
}

IPromisePtr Sensor::abortExposure()
{
    Camera& camera = getCamera();
    if (IPromisePtr status = camera.queryStatus()) {
        status->wait();
        status->release();
    }
    const ICamera::Status cameraStatus = camera.getStatus();
    const ISensor::Status state = m_sensorId == 0 ? cameraStatus.mainSensorState : cameraStatus.extSensorState;
    if (state == ReadyToDownload) {
        // Collect the finished image before it is thrown away.
        if (IPromisePtr download = startDownload()) {
            download->wait();
            download->release();
        }
    }
    const EndpointPtr endpoint = requireEndpoint();
    MessageContextPtr context =
        makeMessage(AbortExposure, getComm().getFooterType(), endpoint, High, "Sensor::AbortExposure");
    auto abortRequest = std::dynamic_pointer_cast<V1RequestMessage>(context->getRequest());
    if (abortRequest)
        abortRequest->setSensorId(m_sensorId);
    context->getRequest()->updateEndpoint(endpoint, 0);
    queueMessage(context);
    return context->getPromise().get();
}

IPromisePtr Sensor::SetShutter(ShutterActions action)
{
    return request(ShutterControl, Medium, "Sensor::SetShutter", [&](Message& m) {
        auto body = typedBody<V1::ShutterControlRequestBody>(m);
        if (!body)
            fail("Message had no body");
        body->setAction(action);
    });
}

IPromisePtr Sensor::queryMetadataKeys()
{
    if (!getCamera().getCapability(ICamera::eSupportsMetadataKeys))
        return Promise::Completed(IPromise::Error, FeatureNotSupported, "Camera does not support metadata keys.");
    const EndpointPtr endpoint = requireEndpoint();
    MessageContextPtr context = makeMessage(GetImageMetadata, getComm().getFooterType(), endpoint, Medium,
                                            "GetImageMetadata");
    auto metadataRequest = std::dynamic_pointer_cast<V1RequestMessage>(context->getRequest());
    if (metadataRequest)
        metadataRequest->setSensorId(m_sensorId);
    context->getRequest()->updateEndpoint(endpoint, 0);
    queueMessage(context);
    return context->getPromise().get();
}

// ---- Initialisation ---------------------------------------------------------

void Sensor::initStep(IPromisePtr promise, const std::string& what)
{
    if (!promise)
        fail(what + "\r\nUnknown error");
    const IPromise::Status status = promise->wait();
    const std::string error = lastError(*promise, 255);
    promise->release();
    if (status != IPromise::Complete)
        fail(what + "\r\n" + (error.empty() ? std::string("Unknown error") : error));
}

void Sensor::initialize()
{
    initStep(queryInfo(), "Could not query Sensor information");
    Model model;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        model = m_info.model;
    }
    if (c_legacyCalibrationDataUnsupported.count(model) == 0)
        initStep(queryCalibration(), "Could not query Sensor calibration details");
    initStep(querySubframe(), "Could not query Sensor subframe details");
}

bool Sensor::handlePromise(IPromisePtr promise, const ErrorCallback& onError)
{
    if (promise == nullptr)
        return false;
    const IPromise::Status status = promise->wait();
    if (status == IPromise::Error && onError)
        onError(promise->getAPIStatusCode(), lastError(*promise, 512));
    promise->release();
    return status == IPromise::Complete;
}

void Sensor::sendMessage()
{
    sendToComm(topMessage());
}

// ---- Answers ----------------------------------------------------------------

bool Sensor::receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr)
{
    switch (response.getBodyType()) {
    case GetSensorInfo: return onGetSensorInfo(response, sender);
    case GetSensorSettings: return onGetSensorSettings(response, sender);
    case SetSensorSettings: return onSetSensorSettings(response, sender);
    case GetSensorCalibration: return onGetSensorCalibration(response, sender);
    case SetSensorCalibration:
    case StartExposure:
    case AbortExposure:
    case ShutterControl: return onEmptyResponse(response, sender);
    case GetSubframe: return onGetSubframe(response, sender);
    case SetSubframe:
    case SetSubframeExt: return onSetSubframe(response, sender);
    case StartDownload: return onStartDownload(response, sender);
    case GetHiddenSensorSetting: return onGetCalibrationByKey(response, sender);
    case SetHiddenSensorSetting: return onSetCalibrationByKey(response, sender);
    case GetImageMetadata: return onGetMetadataKeys(response, sender);
    default: return false;
    }
}

bool Sensor::isThisSensor(const Message& response, const EndpointPtr& sender)
{
    const BaseHeaderPtr& header = response.getHeader();
    return header && header->getSensorId() == m_sensorId && isFromOwnCamera(sender);
}

bool Sensor::onEmptyResponse(const Message& response, const EndpointPtr& sender)
{
    return isThisSensor(response, sender);
}

bool Sensor::onSetSubframe(const Message& response, const EndpointPtr& sender)
{
    return isThisSensor(response, sender);
}

bool Sensor::onStartDownload(const Message& response, const EndpointPtr& sender)
{
    // Claimed; the image itself is fetched by the download path.
    return isThisSensor(response, sender);
}

namespace {

// A success header with fewer body bytes than the layout leaves the body at
// its defaults; such an answer must not overwrite what is stored.
bool wholeBody(const Message& response, const BaseBodyPtr& body)
{
    const IOBufferPtr& bytes = response.getBodyBuffer();
    return body && bytes && bytes->length >= body->getBufferLength();
}

bool softwareBinningOverrides(ISensor::Model model)
{
    return model == ISensor::GSENSE4040 || model == ISensor::GSENSE4040BSI || model == ISensor::GSENSE2020;
}

} // namespace

bool Sensor::onGetSensorInfo(const Message& response, const EndpointPtr& sender)
{
    if (!isThisSensor(response, sender))
        return false;
    const auto header = response.getTypedHeader<V1::ResponseHeaderBody>();
    const auto body = response.getTypedBody<V1::GetSensorInfoResponseBody>();
    if (!header || !wholeBody(response, body))
        fail("Invalid message structure.");
    Info info;
    info.id = header->getSensorId();
    info.model = GetSensorModel(m_cameraModel, body->getSensorModel());
    info.pixelsX = body->getPixelsX();
    info.pixelsY = body->getPixelsY();
    info.numberOfChannelsAvailable = body->getReadoutChannelCount();
    info.filterType = body->getFilterType();
    info.frameType = body->getFrameType();
    info.pixelSizeX = body->getPixelSizeX();
    info.pixelSizeY = body->getPixelSizeY();
    info.flag = body->getReserved();
    info.hasRBIPreflash = body->getHasRbiPreflash();
    info.minCoolerSetpoint = body->getCoolerSetpointMin();
    info.maxCoolerSetpoint = body->getCoolerSetpointMax();
    info.maxBinX = body->getMaxBinX();
    info.maxBinY = body->getMaxBinY();
    if (softwareBinningOverrides(info.model)) {
        info.maxBinX = std::max<uint32_t>(info.maxBinX, 2);
        info.maxBinY = std::max<uint32_t>(info.maxBinY, 2);
    }
    info.minExposureDuration = body->getMinExposureDuration();
    info.exposurePrecision = body->getExposurePrecision();
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_info = info;
    return true;
}

bool Sensor::onGetSensorCalibration(const Message& response, const EndpointPtr& sender)
{
    if (!isThisSensor(response, sender))
        return false;
    const auto header = response.getTypedHeader<V1::ResponseHeaderBody>();
    const auto body = response.getTypedBody<V1::GetSensorCalibrationResponseBody>();
    if (!header || !wholeBody(response, body))
        fail("Invalid message structure.");
    const Calibration calibration = body->getCalibration();
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_legacyCalibration = calibration;
    return true;
}

bool Sensor::storeSetting(const Message& response, const EndpointPtr& sender)
{
    if (!isThisSensor(response, sender))
        return false;
    const auto header = response.getTypedHeader<V1::ResponseHeaderBody>();
    const auto body = response.getTypedBody<V1::SensorSettingBody>();
    if (!header || !wholeBody(response, body))
        fail("Invalid response body.");
    _setSetting(body->getSetting(), body->getValue());
    return true;
}

bool Sensor::onGetSensorSettings(const Message& response, const EndpointPtr& sender)
{
    return storeSetting(response, sender);
}

bool Sensor::onSetSensorSettings(const Message& response, const EndpointPtr& sender)
{
    return storeSetting(response, sender);
}

bool Sensor::onGetSubframe(const Message& response, const EndpointPtr& sender)
{
    if (!isThisSensor(response, sender))
        return false;
    const auto header = response.getTypedHeader<V1::ResponseHeaderBody>();
    const auto body = response.getTypedBody<V1::GetSubframeResponseBody>();
    if (!header || !wholeBody(response, body))
        fail("Invalid message structure.");
    TSubframe s;
    s.left = body->getXOffset();
    s.top = body->getYOffset();
    s.width = body->getXSize();
    s.height = body->getYSize();
    s.binX = body->getBinX();
    s.binY = body->getBinY();
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_subframe = s;
    return true;
}

namespace {

template <class Body>
bool storeCalibrationByKey(const Message& response, TCalibrationMap& map, std::recursive_mutex& mutex,
                           const std::function<void()>& onInvalid)
{
    const auto header = response.getTypedHeader<V1::ResponseHeaderBody>();
    const auto body = response.getTypedBody<Body>();
    if (!header || !body || !response.getBodyBuffer() ||
        response.getBodyBuffer()->length < body->getBufferLength())
        onInvalid();
    std::lock_guard<std::recursive_mutex> lock(mutex);
    map[static_cast<ISensor::CalibrationKey>(body->getKey() & 0xFF)][body->getSubKey()] =
        static_cast<int32_t>(body->getValue());
    return true;
}

} // namespace

bool Sensor::onGetCalibrationByKey(const Message& response, const EndpointPtr& sender)
{
    if (!isThisSensor(response, sender))
        return false;
    return storeCalibrationByKey<V1::GetSensorCalibrationByKeyResponseBody>(
        response, m_calibration, m_mutex, [this] { fail("Invalid message structure."); });
}

bool Sensor::onSetCalibrationByKey(const Message& response, const EndpointPtr& sender)
{
    if (!isThisSensor(response, sender))
        return false;
    return storeCalibrationByKey<V1::SetSensorCalibrationByKeyResponseBody>(
        response, m_calibration, m_mutex, [this] { fail("Invalid message structure."); });
}

bool Sensor::onGetMetadataKeys(const Message& response, const EndpointPtr& sender)
{
    if (!isThisSensor(response, sender))
        return false;
    const auto header = response.getTypedHeader<V1::ResponseHeaderBody>();
    const auto body = response.getTypedBody<V1::GetImageMetadataResponseBody>();
    // Text of any length, the empty text included.
    if (!header || !body)
        fail("Invalid message structure.");
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_metadataKeys = body->getMetadata();
    return true;
}

void Sensor::setDebugSettings(CDebugSettingsPtr settings)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_pDebugSettings = std::move(settings);
}

CDebugSettingsPtr Sensor::getDebugSettings()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pDebugSettings;
}

} // namespace kv
