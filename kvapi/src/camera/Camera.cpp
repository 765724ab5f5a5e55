#include "camera/Camera.h"

#include "KVSerialNumbers/SerialDecoderFactory.h"
#include "camera/AO.h"
#include "camera/Capabilities.h"
#include "camera/FW.h"
#include "camera/TEC.h"
#include "logging/DebugSettings.h"
#include "protocol/GetCameraCapabilityRequestBody.h"
#include "protocol/GetCameraCapabilityResponseBody.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/GetCameraOptionRequestBody.h"
#include "protocol/GetCameraOptionResponseBody.h"
#include "protocol/GetCameraStatusResponseBody.h"
#include "protocol/GetNetworkResponseBody.h"
#include "protocol/GetPeripheralInfoResponseBody.h"
#include "protocol/Message.h"
#include "protocol/PulseGuideRequestBody.h"
#include "protocol/SetCameraOptionRequestBody.h"
#include "protocol/SetCameraOptionResponseBody.h"
#include "protocol/SetNetworkRequestBody.h"
#include "sensor/Sensor.h"
#include "transport/Comm.h"
#include "transport/Endpoint.h"
#include "transport/Promise.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kv {

namespace {

constexpr const char* c_noComm = "No comm present.";
constexpr size_t c_errorTextLength = 255;

} // namespace

const std::map<ICamera::Model, uint32_t> Camera::c_maxBufferSizes = {
    {ICamera::BrisaCMOS, 67371024u},
    {ICamera::MTC, 14201872u},
    {ICamera::BrisaBC2020, 16908304u},
    {ICamera::VireoC, 4314026u},
};

Camera::Camera()
    : m_state(ICamera::Uninitialized),
      m_cameraType(Gen3),
      m_pConfigDataExtBuffer(nullptr),
      m_configDataExtLng(0),
      m_pJunkPromise(std::make_shared<Promise>()),
      m_configStatus(FlashProtected),
      m_uploadInProgress(false)
{
    // The public records carry "invalid" defaults; the camera starts from zero.
    m_cameraStatus.mainSensorState = ISensor::Idle;
    m_cameraStatus.extSensorState = ISensor::Idle;
    m_cameraStatus.shutterStatus = ShutterClosed;
    m_networkSettings.mode = AdHoc;
}

Camera::~Camera()
{
    if (m_fpgaWorker.joinable()) {
        m_fpgaWorker.join();
    }
    if (m_pComm) {
        m_pComm->clearHandlers();
    }
    m_sensors.clear();
    m_pTec.reset();
    m_pFW.reset();
    m_pAO.reset();
    m_pComm.reset();
    m_pEndpoint.reset();
    delete[] m_pConfigDataExtBuffer;
}

// --- wiring ---------------------------------------------------------------

void Camera::setCameraInfo(const Info& info)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_info = info;
}

void Camera::setEndpoint(EndpointPtr endpoint)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pEndpoint = std::move(endpoint);
}

void Camera::setComm(CommPtr comm)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pComm = comm;
    }
    if (comm) {
        comm->registerHandler(this);
    }
}

void Camera::setLogger(CDebugSettingsPtr logger)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pLogger = std::move(logger);
}

CommPtr Camera::getComm()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pComm;
}

Comm& Camera::getCommRef()
{
    const CommPtr comm = getComm();
    if (!comm) {
        fail(c_noComm);
    }
    // The camera keeps its transport until it is destroyed.
    return *comm;
}

EndpointPtr Camera::getEndpoint()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pEndpoint;
}

CDebugSettingsPtr Camera::getLogger()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pLogger;
}

Camera::SensorList Camera::getSensors()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sensors;
}

CameraType Camera::getCameraType()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cameraType;
}

Camera::CapabilityMap Camera::getCapabilities()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_capabilities;
}

Camera::PeripheralList Camera::getPeripherals()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_peripherals;
}

PromisePtr Camera::getJunkPromise()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pJunkPromise;
}

void Camera::setJunkPromise(PromisePtr promise)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pJunkPromise = std::move(promise);
}

void Camera::log(logging::ELogSeverity severity, const std::string& text, logging::EIndentLevel indent)
{
    const CDebugSettingsPtr logger = getLogger();
    if (logger && logger->isLogged(severity)) {
        logger->logMsg(severity, text, indent);
    }
}

void Camera::fail(const std::string& text)
{
    log(logging::eERRORL1, text);
    throw std::runtime_error(text);
}

// --- request procedure ----------------------------------------------------

MessageContextPtr Camera::makeRequest(IOHandler& handler, Comm& comm, BodyType bodyType, MessagePriority priority,
                                      const std::string& label)
{
    return handler.makeMessage(bodyType, comm.getFooterType(), getEndpoint(), priority, label);
}

IPromisePtr Camera::queueRequest(IOHandler& handler, const MessageContextPtr& context)
{
    context->getRequest()->updateEndpoint(context->getEndpoint(), -1);
    // Taken before queuing: in synchronous mode the exchange is over, and the
    // context may be purged, by the time queueMessage returns.
    const PromisePtr promise = context->getPromise();
    handler.queueMessage(context);
    return promise.get();
}

// --- ICamera requests -----------------------------------------------------

IPromisePtr Camera::queryInfo()
{
    Comm& comm = getCommRef();
    return queueRequest(*this, makeRequest(*this, comm, GetCameraInfo, High, "Camera::queryInfo"));
}

IPromisePtr Camera::queryStatus()
{
    Comm& comm = getCommRef();
    const MessageContextPtr context = makeRequest(*this, comm, GetCameraStatus, Low, "Camera::queryStatus");
    if (getCapability(eSupportsPrecisionCoolerPower)) {
        if (const auto body = context->getResponse()->getTypedBody<V1::GetCameraStatusResponseBody>()) {
            body->setConvertCoolerPower(false);
        }
    }
    return queueRequest(*this, context);
}

IPromisePtr Camera::queryNetworkSettings()
{
    Comm& comm = getCommRef();
    return queueRequest(*this, makeRequest(*this, comm, GetNetwork, Low, "Camera::queryNetworkSettings"));
}

IPromisePtr Camera::queryCapability(Capability capability)
{
    Comm& comm = getCommRef();
    const MessageContextPtr context = makeRequest(*this, comm, GetCameraCapability, Medium, "Camera::getCapability");
    if (const auto body = context->getRequest()->getTypedBody<V1::GetCameraCapabilityRequestBody>()) {
        body->setKey(capability);
    }
    return queueRequest(*this, context);
}

IPromisePtr Camera::queryPeripheralInfo()
{
    Comm& comm = getCommRef();
    return queueRequest(*this, makeRequest(*this, comm, GetPeripheralInfo, Medium, "Camera::queryPeripheralInfo"));
}

IPromisePtr Camera::pulseGuide(EPulseGuideDirection direction, uint32_t duration, bool abort)
{
    Comm& comm = getCommRef();
    if (!getCapability(eSupportsGuidePort)) {
        const PromisePtr junk = getJunkPromise();
        junk->setErrorCode(FeatureNotSupported);
        junk->setError("Guide Port not supported by this camera", true);
        return junk.get();
    }
    const MessageContextPtr context = makeRequest(*this, comm, PulseGuide, Medium, "Camera::PulseGuide");
    if (const auto body = context->getRequest()->getTypedBody<V1::PulseGuideRequestBody>()) {
        body->setGuideDirection(direction);
        body->setGuideDuration(duration);
        body->setAbort(abort);
    }
    return queueRequest(*this, context);
}

IPromisePtr Camera::setNetworkSettings(const TNetworkSettings& settings)
{
    Comm& comm = getCommRef();
    const MessageContextPtr context = makeRequest(*this, comm, SetNetwork, Medium, "Camera::setNetworkSettings");
    if (const auto body = context->getRequest()->getTypedBody<V1::SetNetworkRequestBody>()) {
        // The lengths come from the application: never read past the arrays.
        const size_t ssidLength = std::min<size_t>(settings.ssidLength, sizeof(settings.ssid));
        const size_t passphraseLength = std::min<size_t>(settings.passphraseLength, sizeof(settings.passphrase));
        body->setSsid(std::string(settings.ssid, ssidLength));
        body->setPassword(std::string(settings.passphrase, passphraseLength));
        body->setUsaCanadaMode(settings.isUsaCanadaMode);
        body->setHexPassword(settings.isPassphraseHex);
        body->setNetworkMode(settings.mode);
    }
    return queueRequest(*this, context);
}

IPromisePtr Camera::queryCameraOption(Option option)
{
    Comm& comm = getCommRef();
    const MessageContextPtr context = makeRequest(*this, comm, GetCameraOption, Medium, "Camera::queryCameraOption");
    if (const auto body = context->getRequest()->getTypedBody<V1::GetCameraOptionRequestBody>()) {
        body->setKey(option);
    }
    return queueRequest(*this, context);
}

IPromisePtr Camera::setCameraOption(Option option, int16_t value)
{
    Comm& comm = getCommRef();
    const MessageContextPtr context = makeRequest(*this, comm, SetCameraOption, Medium, "Camera::setCameraOption");
    if (const auto body = context->getRequest()->getTypedBody<V1::SetCameraOptionRequestBody>()) {
        body->setKey(option);
        body->setValue(value);
    }
    return queueRequest(*this, context);
}

int Camera::getCameraOption(Option option)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_cameraOptions.find(option);
    return found == m_cameraOptions.end() ? c_optionUnknown : found->second;
}

// --- accessors ------------------------------------------------------------

ICamera::Info Camera::getInfo()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_info;
}

std::string Camera::getSerialString()
{
    const SensorList sensors = getSensors();
    if (sensors.empty()) {
        return "UNINITIALIZED";
    }
    const Info info = getInfo();
    // The numeric serial carries no sensor model: sensor 0 tells it.
    const std::unique_ptr<ISerialDecoder> decoder =
        SerialDecoderFactory::create(info.model, sensors.front()->getInfo().model, info.serialNumber);
    return decoder ? decoder->to_string() : "UNKNOWN";
}

void Camera::getSerial(char* buffer, size_t& length)
{
    const std::string text = getSerialString();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (buffer == nullptr) {
        length = 0;
        return;
    }
    std::memset(buffer, 0, length);
    const size_t count = std::min(length, text.size());
    std::memcpy(buffer, text.data(), count);
    length = count;
}

EEndpointType Camera::getConnectionType()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pEndpoint ? m_pEndpoint->getType() : InvalidEndpoint;
}

void Camera::getConnectionInfo(char* buffer, size_t& length)
{
    const EndpointPtr endpoint = getEndpoint();
    if (buffer == nullptr) {
        return;
    }
    std::memset(buffer, 0, length);
    if (!endpoint) {
        return;
    }
    const std::string text = endpoint->toString();
    std::memcpy(buffer, text.data(), std::min(length, text.size()));
}

ICamera::Status Camera::getStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cameraStatus;
}

bool Camera::getCapability(Capability capability)
{
    if (capability == eSupportsSoftwareBinMode) {
        return true;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_capabilities.find(capability);
    return found != m_capabilities.end() && found->second;
}

TNetworkSettings Camera::getNetworkSettings()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_networkSettings;
}

ITECPtr Camera::getTEC()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pTec.get();
}

IAOPtr Camera::getAO()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pAO.get();
}

IFWPtr Camera::getFW()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pFW.get();
}

// --- transport switches ---------------------------------------------------

bool Camera::isAsync()
{
    const CommPtr comm = getComm();
    return comm && comm->getAsyncIO();
}

void Camera::setAsync(bool async)
{
    if (const CommPtr comm = getComm()) {
        comm->setAsyncIO(async);
    }
}

bool Camera::getConnection()
{
    const EndpointPtr endpoint = getEndpoint();
    return endpoint && endpoint->getIsInitialized();
}

void Camera::setConnection(bool connected)
{
    const CommPtr comm = getComm();
    const EndpointPtr endpoint = getEndpoint();
    if (!comm) {
        return;
    }
    if (connected) {
        comm->openDevice(endpoint);
    } else {
        comm->closeDevice(endpoint);
    }
}

bool Camera::checkConnection()
{
    const bool wasOpen = getConnection();
    IPromise::Status outcome = IPromise::Error;
    try {
        if (!wasOpen) {
            setConnection(true);
        }
        outcome = waitAndRelease(queryInfo());
    } catch (const std::exception& e) {
        // A camera that cannot even be opened is as good as silent.
        log(logging::eDEBUG, std::string("Connection check failed: ") + e.what());
    }
    if (!wasOpen) {
        try {
            setConnection(false);
        } catch (const std::exception&) {
            // Closing a camera that is gone changes nothing.
        }
    }
    return outcome != IPromise::Complete;
}

// --- response dispatch ----------------------------------------------------

void Camera::sendMessage()
{
    const MessageContextPtr context = topMessage();
    if (!context) {
        return;
    }
    if (const CommPtr comm = getComm()) {
        comm->sendMessage(context);
    }
}

bool Camera::isFromCamera(const EndpointPtr& sender)
{
    const EndpointPtr endpoint = getEndpoint();
    return endpoint && sender && endpoint->compare(sender);
}

bool Camera::receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr)
{
    switch (response.getBodyType()) {
    case GetCameraInfo:
        return onGetCameraInfo(response, sender);
    case GetCameraStatus:
        return onGetCameraStatus(response, sender);
    case SetFanSpeed:
    case PulseGuide:
    case ConfigDataUpload:
    case WriteMemoryConfig:
    case BulkUpload:
        return onEmptyResponse(sender);
    case GetNetwork:
        return onGetNetwork(response, sender);
    case GetCameraCapability:
        return onGetCapability(response, sender);
    case GetCameraOption:
        return onGetCameraOption(response, sender);
    case SetCameraOption:
        return onSetCameraOption(response, sender);
    case GetPeripheralInfo:
        return onGetPeripheralInfo(response, sender);
    default:
        return false;
    }
}

bool Camera::onGetCameraInfo(const Message& response, const EndpointPtr& sender)
{
    if (!isFromCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::GetCameraInfoResponseBody>();
    if (!body) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_info.serialNumber = body->getSerialNumber();
    m_info.model = body->getModel();
    m_info.firmwareRevision = body->getFirmwareRevision();
    m_info.wifiFirmwareRevision = body->getWifiFirmwareRevision();
    m_info.numberOfSensors = body->getSensorCount();
    if (m_pEndpoint && !m_pEndpoint->getIsInitialized()) {
        m_pEndpoint = sender;
    }
    return true;
}

bool Camera::onGetCameraStatus(const Message& response, const EndpointPtr& sender)
{
    if (!isFromCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::GetCameraStatusResponseBody>();
    if (!body) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cameraStatus.mainSensorState = body->getMainSensorState();
    m_cameraStatus.extSensorState = body->getExtSensorState();
    m_cameraStatus.sensorTemperature = body->getSensorTemperature();
    m_cameraStatus.coolerPower = body->getCoolerPower();
    m_cameraStatus.heatSinkTemperature = body->getHeatSinkTemperature();
    m_cameraStatus.inputVoltage = body->getInputVoltage();
    m_cameraStatus.pulseGuideStatus = body->getPulseGuideStatus();
    m_cameraStatus.flag = body->getFlag();
    m_cameraStatus.shutterStatus = body->getShutterStatus();
    if (m_pTec) {
        m_pTec->setHeatSinkTemperature(m_cameraStatus.heatSinkTemperature);
        m_pTec->setSensorTemperature(m_cameraStatus.sensorTemperature);
        m_pTec->setCoolerPower(m_cameraStatus.coolerPower);
    }
    return true;
}

bool Camera::onEmptyResponse(const EndpointPtr& sender)
{
    return isFromCamera(sender);
}

bool Camera::onGetNetwork(const Message& response, const EndpointPtr& sender)
{
    if (!isFromCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::GetNetworkResponseBody>();
    if (!body) {
        return false;
    }
    const std::string& ssid = body->getSsid();
    const std::string& passphrase = body->getPassword();
    std::lock_guard<std::mutex> lock(m_mutex);
    TNetworkSettings& s = m_networkSettings;
    s.ssidLength = static_cast<uint32_t>(std::min(ssid.size(), sizeof(s.ssid)));
    s.passphraseLength = static_cast<uint32_t>(std::min(passphrase.size(), sizeof(s.passphrase)));
    std::memset(s.ssid, 0, sizeof(s.ssid));
    std::memset(s.passphrase, 0, sizeof(s.passphrase));
    std::memcpy(s.ssid, ssid.data(), s.ssidLength);
    std::memcpy(s.passphrase, passphrase.data(), s.passphraseLength);
    s.mode = body->getNetworkMode();
    s.isUsaCanadaMode = body->getUsaCanadaMode();
    s.isPassphraseHex = body->getHexPassword();
    return true;
}

bool Camera::onGetCapability(const Message& response, const EndpointPtr& sender)
{
    if (!isFromCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::GetCameraCapabilityResponseBody>();
    if (!body) {
        return false;
    }
    // Written under the lock too: getCapability() may run on another thread.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_capabilities[body->getKey()] = body->getValue();
    return true;
}

bool Camera::onGetCameraOption(const Message& response, const EndpointPtr& sender)
{
    if (!isFromCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::GetCameraOptionResponseBody>();
    if (!body) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cameraOptions[body->getKey()] = body->getValue();
    return true;
}

bool Camera::onSetCameraOption(const Message& response, const EndpointPtr& sender)
{
    if (!isFromCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::SetCameraOptionResponseBody>();
    if (!body) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cameraOptions[body->getKey()] = body->getValue();
    return true;
}

bool Camera::onGetPeripheralInfo(const Message& response, const EndpointPtr& sender)
{
    if (!isFromCamera(sender)) {
        return false;
    }
    const auto body = response.getTypedBody<V1::GetPeripheralInfoResponseBody>();
    if (!body) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_peripherals = body->getPeripheralList();
    return true;
}

// --- initialisation -------------------------------------------------------

IPromise::Status Camera::waitAndRelease(IPromisePtr promise, std::string* error)
{
    if (promise == nullptr) {
        return IPromise::Error;
    }
    const IPromise::Status outcome = promise->wait();
    if (error != nullptr) {
        char text[c_errorTextLength] = {};
        size_t length = sizeof(text);
        promise->getLastError(text, length);
        error->assign(text, length);
    }
    promise->release();
    return outcome;
}

bool Camera::initialize()
{
    if (!getConnection()) {
        setConnection(true);
    }
    if (getState() == ICamera::Ready) {
        return true;
    }
    const Info info = getInfo();
    log(logging::eINFO, "Initializing camera w/ S/N: " + std::to_string(info.serialNumber));
    setState(ICamera::Initializing);

    try {
        std::string error;
        if (waitAndRelease(queryStatus(), &error) != IPromise::Complete) {
            fail(error);
        }

        const auto defaults = Capabilities::c_defaultCapabilities.find(info.model);
        if (defaults != Capabilities::c_defaultCapabilities.end()) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_capabilities = defaults->second;
        }

        if (info.firmwareRevision >= Capabilities::c_minFWCapabilityQueries) {
            // Fan, cooler, the two temperatures and adaptive optics are never asked.
            for (uint32_t key = eSupportsFilterWheel; key <= eSupportsMetadataKeys; ++key) {
                waitAndRelease(queryCapability(static_cast<Capability>(key)));
            }
        }

        if (getCapability(eSupportsWiFi)) {
            if (waitAndRelease(queryNetworkSettings(), &error) != IPromise::Complete) {
                fail(error);
            }
        }

        if (info.numberOfSensors != 0) {
            initializeSensors(info.numberOfSensors);
        }

        waitAndRelease(queryCameraOption(eCameraOptionPlatform));

        if (waitAndRelease(queryCapability(eSupportsPeripheralInfo)) == IPromise::Complete) {
            if (waitAndRelease(queryPeripheralInfo()) != IPromise::Complete) {
                log(logging::eINFO, "GetPeripheralInfo failed: ignoring non-primary peripherals.");
            }
        } else {
            log(logging::eINFO, "GetPeripheralInfo not supported by this camera. Please update your firmware.");
        }

        initializeTec();
        initializeFW();
        initializeAO();
    } catch (const std::runtime_error& e) {
        log(logging::eERRORL1, std::string("Failed to initialize camera\n") + e.what() + "\n");
        return false;
    }
    setState(ICamera::Ready);
    return true;
}

void Camera::initializeSensors(size_t count)
{
    const CommPtr comm = getComm();
    if (!comm) {
        fail("Could not register Sensors with communicator.");
    }
    const SensorList existing = getSensors();
    if (existing.size() == count) {
        for (const SensorPtr& sensor : existing) {
            sensor->initialize();
        }
        return;
    }
    for (const SensorPtr& sensor : existing) {
        comm->unregisterHandler(sensor.get());
    }
    const size_t limited = std::min<size_t>(count, 2);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sensors.clear();
        m_sensors.resize(limited);
    }
    const ICamera::Model model = getInfo().model;
    for (size_t i = 0; i < limited; ++i) {
        try {
            // Every model gets the generic sensor until the CMOS families
            // (BrisaCMOS, BrisaBC2020, BrisaBC455, BrisaBC461) have classes of their own.
            auto sensor = std::make_shared<Sensor>(static_cast<uint8_t>(i), model, *this);
            comm->registerHandler(sensor.get());
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_sensors[i] = sensor;
            }
            sensor->initialize();
        } catch (const std::runtime_error& e) {
            fail("Could not Initialize Sensor " + std::to_string(i) + "/" + std::to_string(limited) + "\n" +
                 e.what());
        }
    }
}

void Camera::initializeTec()
{
    const CommPtr comm = getComm();
    if (!comm) {
        fail("Could not initialize TEC \n" + std::string(c_noComm));
    }
    TECPtr old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old = m_pTec;
    }
    if (old) {
        comm->unregisterHandler(old.get());
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pTec.reset();
    }
    TECPtr tec;
    try {
        tec = std::make_shared<TEC>(*this);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_pTec = tec;
        }
        comm->registerHandler(tec.get());
    } catch (const std::runtime_error& e) {
        const std::string text = std::string("Could not initialize TEC \n") + e.what();
        fail(text);
    }
    // Kept alive until the old cooler's last exchange is surely over.
    old.reset();

    const Info info = getInfo();
    bool supported = true;
    switch (info.model) {
    case ICamera::Brisa:
        supported = info.firmwareRevision > 22;
        break;
    case ICamera::BrisaCMOS:
        supported = info.firmwareRevision > 4;
        break;
    case ICamera::MTC:
        supported = info.firmwareRevision > 5;
        break;
    case ICamera::Vireo:
    case ICamera::VireoE:
    case ICamera::VireoC:
        return;
    default:
        break;
    }
    tec->setSupportsGetCoolerStatus(supported);
    waitAndRelease(tec->queryStatus());
}

void Camera::initializeFW()
{
    const CommPtr comm = getComm();
    if (!comm) {
        fail("Could not initialize FW \n" + std::string(c_noComm));
    }
    FWPtr fw;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        fw = m_pFW;
    }
    if (!fw) {
        try {
            fw = std::make_shared<FW>(*this);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_pFW = fw;
            }
            comm->registerHandler(fw.get());
        } catch (const std::runtime_error& e) {
            fail(std::string("Could not initialize FW \n") + e.what());
        }
    }
    waitAndRelease(fw->initialize());
    for (const V1::TPeripheralInfo& peripheral : getPeripherals()) {
        if (peripheral.type == V1::PeripheralType::FilterWheel) {
            fw->registerChild(peripheral);
        }
    }
}

void Camera::initializeAO()
{
    const CommPtr comm = getComm();
    if (!comm) {
        fail("Could not register AO with communicator.");
    }
    AOPtr ao;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ao = m_pAO;
    }
    if (!ao) {
        try {
            ao = std::make_shared<AO>(*this);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_pAO = ao;
            }
            comm->registerHandler(ao.get());
        } catch (const std::runtime_error& e) {
            fail(std::string("Could not initialize AO \n") + e.what());
        }
    }
    waitAndRelease(ao->initialize());
}

// --- factory and firmware operations --------------------------------------

IPromisePtr Camera::notAvailable(const char* operation)
{
    log(logging::eERRORL1, std::string(operation) + " is not available in this build.");
    return Promise::Completed(IPromise::Error, FeatureNotSupported,
                              std::string(operation) + " is not available in this build.");
}

IPromisePtr Camera::unlockFactoryFunctions()
{
    return notAvailable("unlockFactoryFunctions");
}

IPromisePtr Camera::setSerial(uint32_t, uint32_t, uint32_t)
{
    return notAvailable("setSerial");
}

IPromisePtr Camera::setSerial(const char*, size_t)
{
    return notAvailable("setSerial");
}

IPromisePtr Camera::queryConfigStatus()
{
    return notAvailable("queryConfigStatus");
}

IPromisePtr Camera::execConfigCommand(ConfigControlCommand, uint8_t)
{
    return notAvailable("execConfigCommand");
}

Camera::ConfigStatus Camera::getConfigStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_configStatus;
}

IPromisePtr Camera::queryReadMemoryWord(ReadMemory::Query)
{
    return notAvailable("queryReadMemoryWord");
}

ReadMemory::Buffer Camera::getReadMemoryBuffer()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_readMemoryBuffer;
}

IPromisePtr Camera::queryConfigDataDownload(ConfigData::Query)
{
    return notAvailable("queryConfigDataDownload");
}

IPromisePtr Camera::setConfigData(uint32_t, unsigned char*, size_t)
{
    return notAvailable("setConfigData");
}

ConfigData::Buffer Camera::getConfigDataBuffer()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_configDataBuffer;
}

void Camera::getConfigDataExtBuffer(unsigned char*& data, size_t& length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    data = m_pConfigDataExtBuffer;
    length = m_configDataExtLng;
}

IPromisePtr Camera::queryMemoryConfig()
{
    return notAvailable("queryMemoryConfig");
}

IPromisePtr Camera::setMemoryConfig(MemoryConfig::Payload)
{
    return notAvailable("setMemoryConfig");
}

MemoryConfig::Payload Camera::getMemoryConfig()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_memoryConfig;
}

IPromisePtr Camera::upload(const char*)
{
    return notAvailable("upload");
}

const char* Camera::getFPGAWorkerStatus()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fpgaWorkerStatus.c_str();
}

ISensorPtr Camera::getSensor(uint32_t index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_sensors.size()) {
        return nullptr;
    }
    return m_sensors[index].get();
}

} // namespace kv
