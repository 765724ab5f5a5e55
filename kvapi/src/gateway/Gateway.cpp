#include "gateway/Gateway.h"

#include "camera/Camera.h"
#include "gateway/NetworkManager.h"
#include "logging/DebugSettings.h"
#include "protocol/GetCameraInfoResponseBody.h"
#include "protocol/Message.h"
#include "sensor/Sensor.h"
#include "transport/NetEndpoint.h"
#include "transport/Promise.h"
#include "transport/UDPComm.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>

namespace kv {

namespace {

constexpr const char* c_broadcastAddress = "255.255.255.255";

} // namespace

Gateway::Gateway()
{
    m_pLogger = std::make_shared<CDebugSettings>(KVAPILogger::c_defaultLogPath());
    // USB and USB3 discovery arrive with their transports; until then the
    // gateway finds network cameras only.
    m_pUDPComm = newUDPComm();
    m_pUDPComm->setLogger(logger());

    const std::string path = (std::filesystem::path(getUserPath()) / "net.yml").string();
    initNetworkConfig(path.c_str());
}

Gateway::~Gateway()
{
    if (m_pUDPComm) {
        m_pUDPComm->clearHandlers();
    }
    if (m_pUsbComm) {
        m_pUsbComm->clearHandlers();
    }
    if (m_pUsb3Comm) {
        m_pUsb3Comm->clearHandlers();
    }
    m_pLogger.reset();
    m_wifiCameraList.clear();
    m_usbCameraList.clear();
    m_pUDPComm.reset();
    m_pUsbComm.reset();
    m_pUsb3Comm.reset();
}

std::string Gateway::getUserPath()
{
    const char* home = std::getenv("HOME");
    if (home == nullptr) {
        return std::string();
    }
    return (std::filesystem::path(home) / ".kvapi").string();
}

KVAPILoggerPtr Gateway::logger()
{
    return m_pLogger;
}

void Gateway::log(logging::ELogSeverity severity, const std::string& text, logging::EIndentLevel indent)
{
    if (m_pLogger && m_pLogger->isLogged(severity)) {
        m_pLogger->logMsg(severity, text, indent);
    }
}

UDPCommPtr Gateway::newUDPComm()
{
    return std::make_shared<UDPComm>(this);
}

CommPtr Gateway::newComm(EndpointPtr endpoint)
{
    if (endpoint && endpoint->getType() == Net) {
        return std::make_shared<UDPComm>(this);
    }
    return nullptr;
}

void Gateway::initNetworkConfig(const char* path)
{
    if (path == nullptr || !m_pUDPComm) {
        return;
    }
    NetworkManager manager(path, *m_pUDPComm, logger());
    if (manager.isValid()) {
        manager.sendConfigs();
    }
}

// --- discovery ------------------------------------------------------------

void Gateway::discover(const std::string& address, uint16_t port)
{
    auto request = std::make_shared<V1RequestMessage>(GetCameraInfo, V1None);
    auto response = std::make_shared<V1ResponseMessage>(GetCameraInfo, V1None);
    auto templ = std::make_shared<NetEndpoint>(address, port, 0);
    request->updateEndpoint(templ, -1);
    if (address != c_broadcastAddress) {
        log(logging::eINFO, "Querying UDP camera");
    }
    m_pUDPComm->queryDevices(request, response, templ, this);
}

void Gateway::queryUSBCameras()
{
    checkCameraConnections(m_usbCameraList);
}

void Gateway::queryNetCameras()
{
    checkCameraConnections(m_wifiCameraList);
    log(logging::eINFO, "Querying UDP cameras");
    discover(c_broadcastAddress, UDPComm::c_port);
}

void Gateway::queryNetCamera(const char* ipAddress, size_t port)
{
    if (ipAddress == nullptr) {
        queryNetCameras();
        return;
    }
    discover(ipAddress, static_cast<uint16_t>(port));
}

void Gateway::checkCameraConnections(CameraList_t& list)
{
    CameraList_t cameras;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        cameras = list;
    }
    CameraList_t silent;
    for (const CameraPtr& camera : cameras) {
        if (camera->checkConnection()) {
            silent.push_back(camera);
        }
    }
    if (silent.empty()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const CameraPtr& camera : silent) {
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (*it == camera) {
                    list.erase(it);
                    break;
                }
            }
        }
    }
    // The cameras and their transports go when `silent` and `cameras` do,
    // outside the lock.
}

bool Gateway::receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context)
{
    if (response.getBodyType() != GetCameraInfo) {
        return false;
    }
    return onGetCameraInfo(response, std::move(sender), std::move(context));
}

bool Gateway::onGetCameraInfo(const Message& response, EndpointPtr sender, MessageContextPtr context)
{
    if (const CameraPtr known = getCamera(sender)) {
        return known->receiveMessage(response, sender, context);
    }
    const auto body = response.getTypedBody<V1::GetCameraInfoResponseBody>();
    if (!body || !sender) {
        return false;
    }
    ICamera::Info info;
    info.serialNumber = body->getSerialNumber();
    info.model = body->getModel();
    info.firmwareRevision = body->getFirmwareRevision();
    info.numberOfSensors = body->getSensorCount();

    const CommPtr comm = newComm(sender);
    if (comm) {
        comm->setLogger(logger());
        const auto size = Camera::c_maxBufferSizes.find(info.model);
        if (size != Camera::c_maxBufferSizes.end()) {
            comm->setMaxBufferSize(size->second);
        }
    }
    auto camera = std::make_shared<Camera>();
    camera->setCameraInfo(info);
    camera->setEndpoint(sender);
    camera->setComm(comm);
    registerCamera(sender, camera);

    if (context) {
        if (const PromisePtr promise = context->getPromise()) {
            promise->update();
        }
    }
    return true;
}

bool Gateway::registerCamera(EndpointPtr endpoint, CameraPtr camera)
{
    if (!endpoint || !camera) {
        return false;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    CameraList_t* list = nullptr;
    switch (endpoint->getType()) {
    case USB:
    case USB3:
        list = &m_usbCameraList;
        break;
    case Net:
    case RAW:
        list = &m_wifiCameraList;
        break;
    default:
        return false;
    }
    const std::string name = endpoint->toStringConcise();
    std::string known;
    for (const CameraPtr& registered : *list) {
        const EndpointPtr other = registered->getEndpoint();
        if (!other) {
            log(logging::eDEBUG, "Camera with no endpoint registered");
            continue;
        }
        const std::string otherName = other->toStringConcise();
        if (otherName == name) {
            return false; // dropped with its transport
        }
        known += known.empty() ? otherName : ", " + otherName;
    }
    log(logging::eDEBUG, "[" + known + "] Adding: " + name);
    list->push_back(std::move(camera));
    return true;
}

// --- lookups --------------------------------------------------------------

CameraPtr Gateway::getCamera(EndpointPtr endpoint)
{
    if (!endpoint) {
        return nullptr;
    }
    const CameraList_t* list = nullptr;
    switch (endpoint->getType()) {
    case USB:
    case USB3:
        list = &m_usbCameraList;
        break;
    case Net:
        list = &m_wifiCameraList;
        break;
    default:
        return nullptr;
    }
    for (const CameraPtr& camera : *list) {
        const EndpointPtr own = camera->getEndpoint();
        if (own && own->compare(endpoint)) {
            return camera;
        }
    }
    return nullptr;
}

size_t Gateway::getUSBCameraCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_usbCameraList.size();
}

size_t Gateway::getNetCameraCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_wifiCameraList.size();
}

ICameraPtr Gateway::getUSBCamera(uint32_t index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_usbCameraList.size()) {
        return nullptr;
    }
    Camera& camera = *m_usbCameraList[index];
    camera.setLogger(m_pLogger);
    const ICamera::Info info = camera.getInfo();
    log(logging::eINFO, "Initializing USB Camera");
    log(logging::eINFO, "Number of Sensors: " + std::to_string(info.numberOfSensors), logging::eIndent1);
    return &camera;
}

ICameraPtr Gateway::getNetCamera(uint32_t index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_wifiCameraList.size()) {
        return nullptr;
    }
    try {
        Camera& camera = *m_wifiCameraList[index];
        camera.setLogger(m_pLogger);
        log(logging::eINFO, "Initializing WiFi Camera");
        return &camera;
    } catch (const std::exception& e) {
        log(logging::eERRORL1, std::string("Failed to get Net Camera: ") + e.what());
        return nullptr;
    }
}

ICameraPtr Gateway::getNetCamera(const char* ipAddress, uint32_t port)
{
    if (ipAddress == nullptr) {
        return nullptr;
    }
    const auto probe = std::make_shared<NetEndpoint>(ipAddress, static_cast<uint16_t>(port), 0);
    for (const CameraPtr& camera : m_wifiCameraList) {
        const EndpointPtr own = camera->getEndpoint();
        if (own && own->compare(probe)) {
            return camera.get();
        }
    }
    return nullptr;
}

TConnectionDetails Gateway::getCameraConnectionDetails(uint32_t serialNumber)
{
    TConnectionDetails details;
    for (size_t i = 0; i < m_usbCameraList.size(); ++i) {
        if (m_usbCameraList[i]->getInfo().serialNumber == serialNumber) {
            details.serialNumber = serialNumber;
            details.endpointType = USB;
            details.index = i;
            return details;
        }
    }
    for (size_t i = 0; i < m_wifiCameraList.size(); ++i) {
        if (m_wifiCameraList[i]->getInfo().serialNumber == serialNumber) {
            details.serialNumber = serialNumber;
            details.endpointType = Net;
            details.index = i;
            return details;
        }
    }
    return details;
}

ICameraPtr Gateway::getCamera(TConnectionDetails details)
{
    for (size_t i = 0; i < m_usbCameraList.size(); ++i) {
        if (m_usbCameraList[i]->getInfo().serialNumber == details.serialNumber) {
            return getUSBCamera(static_cast<uint32_t>(i));
        }
    }
    for (size_t i = 0; i < m_wifiCameraList.size(); ++i) {
        if (m_wifiCameraList[i]->getInfo().serialNumber == details.serialNumber) {
            return getNetCamera(static_cast<uint32_t>(i));
        }
    }
    return nullptr;
}

size_t Gateway::getCommProtocolVersion()
{
    return c_fpgaRev;
}

void Gateway::initFitsDebugSettings()
{
    for (const CameraList_t* list : {&m_usbCameraList, &m_wifiCameraList}) {
        for (const CameraPtr& camera : *list) {
            m_pLogger->createNewCamDirectory(camera->getSerialString());
            camera->setLogger(m_pLogger);
            for (const SensorPtr& sensor : camera->getSensors())
                sensor->setDebugSettings(m_pLogger);
        }
    }
}

// --- debug control --------------------------------------------------------

void Gateway::setDebugSetting(IDebugControl::Setting setting, int value)
{
    if (setting != IDebugControl::Enable) {
        return;
    }
    m_pLogger->setIsSuppressed(value == 0);
    m_pLogger->setLogMode(static_cast<unsigned short>(value));
    if (!m_pLogger->getIsSuppressed()) {
        try {
            m_pLogger->beginWriting();
        } catch (const std::exception&) {
            // The log keeps buffering until a file can be opened.
        }
    }
}

int Gateway::getDebugSetting(IDebugControl::Setting setting)
{
    if (setting != IDebugControl::Enable) {
        return 0;
    }
    return m_pLogger->getIsSuppressed() ? 0 : 1;
}

bool Gateway::hasDebugSetting(IDebugControl::Setting setting)
{
    return setting == IDebugControl::Enable;
}

// --- sending --------------------------------------------------------------

void Gateway::sendMessage()
{
    MessageContextPtr context;
    CommPtr comm;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        context = topMessage();
        if (!context) {
            return;
        }
        const EndpointPtr endpoint = context->getEndpoint();
        const EEndpointType type = endpoint ? endpoint->getType() : InvalidEndpoint;
        if (type == Net) {
            comm = m_pUDPComm;
        } else if (type == USB) {
            comm = m_pUsbComm;
        }
    }
    if (!comm) {
        const char* text = "Invalid endpoint supplied.";
        log(logging::eWARN, text);
        if (const PromisePtr promise = context->getPromise()) {
            promise->set_exception(std::make_exception_ptr(std::runtime_error(text)));
        }
        handleMessage(context);
        return;
    }
    try {
        comm->sendMessage(context);
    } catch (const std::runtime_error& e) {
        log(logging::eERRORL1, e.what());
    }
}

} // namespace kv
