#pragma once

#include <kvapi/kvapi.h>

#include "logging/LogMessage.h"
#include "transport/IOHandler.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kv {

class Camera;
class Comm;
class UDPComm;
class KVAPILogger;
class CDebugSettings;
using CameraPtr = std::shared_ptr<Camera>;
using CommPtr = std::shared_ptr<Comm>;
using UDPCommPtr = std::shared_ptr<UDPComm>;
using KVAPILoggerPtr = std::shared_ptr<KVAPILogger>;
using CDebugSettingsPtr = std::shared_ptr<CDebugSettings>;

// The application's first object and the registry of cameras. It owns the
// log, the discovery transports and the cameras (each with its transport);
// discovery answers reach it as a message handler.
class Gateway : public IGateway, public IOHandler, public IDebugControl {
public:
    using CameraList_t = std::vector<CameraPtr>;

    // The communication protocol version the library reports.
    static constexpr size_t c_fpgaRev = 20;

    // Throws what the network configuration file raises (a short MAC address).
    Gateway();
    ~Gateway() override;

    // IGateway
    TConnectionDetails getCameraConnectionDetails(uint32_t serialNumber) override;
    ICameraPtr getCamera(TConnectionDetails details) override;
    void queryUSBCameras() override;
    size_t getUSBCameraCount() override;
    ICameraPtr getUSBCamera(uint32_t index) override;
    void queryNetCameras() override;
    void queryNetCamera(const char* ipAddress, size_t port) override;
    size_t getNetCameraCount() override;
    ICameraPtr getNetCamera(uint32_t index) override;
    ICameraPtr getNetCamera(const char* ipAddress, uint32_t port) override;
    size_t getCommProtocolVersion() override;
    void initFitsDebugSettings() override;
    void initNetworkConfig(const char* path) override;

    // IOHandler
    void sendMessage() override;
    bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context) override;

    // IDebugControl
    void setDebugSetting(IDebugControl::Setting setting, int value) override;
    int getDebugSetting(IDebugControl::Setting setting) override;
    bool hasDebugSetting(IDebugControl::Setting setting) override;

    // The registered camera with this endpoint, or null. No lock.
    CameraPtr getCamera(EndpointPtr endpoint);
    // False when a camera of that list already has the endpoint's concise name.
    bool registerCamera(EndpointPtr endpoint, CameraPtr camera);
    // Removes the cameras of the list that do not answer.
    void checkCameraConnections(CameraList_t& list);
    bool onGetCameraInfo(const Message& response, EndpointPtr sender, MessageContextPtr context);
    CommPtr newComm(EndpointPtr endpoint);
    UDPCommPtr newUDPComm();
    // $HOME/.kvapi, or empty when HOME is not set.
    static std::string getUserPath();
    KVAPILoggerPtr logger();
    UDPCommPtr getUDPComm() const { return m_pUDPComm; }

private:
    void log(logging::ELogSeverity severity, const std::string& text,
             logging::EIndentLevel indent = logging::eNoIndent);
    void discover(const std::string& address, uint16_t port);

    CommPtr m_pUsb3Comm;
    CommPtr m_pUsbComm;
    UDPCommPtr m_pUDPComm;
    CameraList_t m_usbCameraList;
    CameraList_t m_wifiCameraList;
    CDebugSettingsPtr m_pLogger;
    std::mutex m_mutex;
};

} // namespace kv
