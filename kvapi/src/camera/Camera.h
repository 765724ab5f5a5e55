#pragma once

#include <kvapi/kvapi.h>
#include <kvapi/kvapi_async.h>
#include <kvapi/kvapi_factory.h>

#include "logging/LogMessage.h"
#include "protocol/TPeripheralInfo.h"
#include "protocol/protocol.h"
#include "transport/IOHandler.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kv {

class Comm;
class Endpoint;
class Promise;
class CDebugSettings;
class Sensor;
class TEC;
class FW;
class AO;

using CommPtr = std::shared_ptr<Comm>;
using EndpointPtr = std::shared_ptr<Endpoint>;
using PromisePtr = std::shared_ptr<Promise>;
using CDebugSettingsPtr = std::shared_ptr<CDebugSettings>;
using SensorPtr = std::shared_ptr<Sensor>;
using TECPtr = std::shared_ptr<TEC>;
using FWPtr = std::shared_ptr<FW>;
using AOPtr = std::shared_ptr<AO>;

enum CameraType : uint32_t { InvalidCameraType = 0, Gen2 = 1, Gen3 = 2 };

class Camera;
using CameraPtr = std::shared_ptr<Camera>;

// One physical camera. The gateway creates it for a discovery answer and wires
// it (identity, endpoint, transport, logger); initialize() reads its status and
// capabilities and creates its components. The camera owns its components and
// its transport; the components refer back to it by reference.
class Camera : public Factory::V2::IFactoryCamera,
               public IOHandler,
               public IAsyncIOHandler,
               public V2::IFirmwareManager {
public:
    using CapabilityMap = std::map<ICamera::Capability, bool>;
    using SensorList = std::vector<SensorPtr>;
    using PeripheralList = std::vector<V1::TPeripheralInfo>;
    using OptionMap = std::map<Factory::IFactoryCamera::Option, int16_t>;

    // What getCameraOption() answers for an option never read or written.
    static constexpr int c_optionUnknown = 2147483647;
    // Per-model transport buffer sizes; models without an entry keep the transport's default.
    static const std::map<ICamera::Model, uint32_t> c_maxBufferSizes;

    Camera();
    ~Camera() override;

    // ICamera
    bool initialize() override;
    IPromisePtr queryInfo() override;
    IPromisePtr queryStatus() override;
    IPromisePtr queryNetworkSettings() override;
    IPromisePtr queryCapability(Capability capability) override;
    IPromisePtr pulseGuide(EPulseGuideDirection direction, uint32_t duration, bool abort) override;
    IPromisePtr setNetworkSettings(const TNetworkSettings& settings) override;
    Info getInfo() override;
    void getSerial(char* buffer, size_t& length) override;
    EEndpointType getConnectionType() override;
    void getConnectionInfo(char* buffer, size_t& length) override;
    Status getStatus() override;
    bool getCapability(Capability capability) override;
    TNetworkSettings getNetworkSettings() override;
    ISensorPtr getSensor(uint32_t index) override;
    ITECPtr getTEC() override;
    IAOPtr getAO() override;
    IFWPtr getFW() override;

    // Factory::IFactoryCamera
    IPromisePtr unlockFactoryFunctions() override;
    IPromisePtr setSerial(uint32_t colour, uint32_t date, uint32_t index) override;
    IPromisePtr queryConfigStatus() override;
    IPromisePtr execConfigCommand(ConfigControlCommand command, uint8_t parameter) override;
    ConfigStatus getConfigStatus() override;
    IPromisePtr queryReadMemoryWord(ReadMemory::Query query) override;
    ReadMemory::Buffer getReadMemoryBuffer() override;
    IPromisePtr queryConfigDataDownload(ConfigData::Query query) override;
    IPromisePtr setConfigData(uint32_t address, unsigned char* data, size_t length) override;
    ConfigData::Buffer getConfigDataBuffer() override;
    void getConfigDataExtBuffer(unsigned char*& data, size_t& length) override;
    IPromisePtr queryMemoryConfig() override;
    IPromisePtr setMemoryConfig(MemoryConfig::Payload payload) override;
    MemoryConfig::Payload getMemoryConfig() override;
    IPromisePtr queryCameraOption(Option option) override;
    int getCameraOption(Option option) override;
    IPromisePtr setCameraOption(Option option, int16_t value) override;
    // Factory::V2::IFactoryCamera
    IPromisePtr setSerial(const char* serial, size_t length) override;

    // IOHandler
    void sendMessage() override;
    bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context) override;

    // IAsyncIOHandler: forwarded to the transport.
    bool isAsync() override;
    void setAsync(bool async) override;

    // V2::IConnectionManager
    bool getConnection() override;
    void setConnection(bool connected) override;

    // V2::IFirmwareManager
    IPromisePtr upload(const char* path) override;
    const char* getFPGAWorkerStatus() override;

    // Wiring by the gateway, in this order.
    void setCameraInfo(const Info& info);
    void setEndpoint(EndpointPtr endpoint);
    // Registers the camera's handler with the transport.
    void setComm(CommPtr comm);
    void setLogger(CDebugSettingsPtr logger);

    CommPtr getComm();
    // The transport; logs "No comm present." and throws when there is none.
    Comm& getCommRef();
    EndpointPtr getEndpoint();
    CDebugSettingsPtr getLogger();
    SensorList getSensors();
    CameraType getCameraType();
    CapabilityMap getCapabilities();
    PeripheralList getPeripherals();
    PromisePtr getJunkPromise();
    void setJunkPromise(PromisePtr promise);
    ICamera::State getState() const { return m_state.load(); }
    void setState(ICamera::State state) { m_state.store(state); }

    // "UNINITIALIZED" while the camera has no sensors, the decoded serial
    // text, or "UNKNOWN" when the number fits no format.
    std::string getSerialString();

    // The gateway's connection check: true when the camera did not answer.
    bool checkConnection();

    IPromisePtr queryPeripheralInfo();

    // Writes a line to the gateway's log, when the camera has one and the
    // severity is kept.
    void log(logging::ELogSeverity severity, const std::string& text,
             logging::EIndentLevel indent = logging::eNoIndent);
    // Logs the text at eERRORL1 and throws it as a std::runtime_error.
    [[noreturn]] void fail(const std::string& text);

    // The request procedure shared by the camera and its components. First a
    // request and a pre-typed response of `bodyType` in a context for
    // `handler`, on the footer type of `comm`, addressed to the camera's
    // endpoint; the caller fills the request body (and, for a sensor, the
    // header's sensor id), then hands the context to queueRequest(), which
    // binds it to the endpoint, queues it on the handler and returns its promise.
    MessageContextPtr makeRequest(IOHandler& handler, Comm& comm, BodyType bodyType, MessagePriority priority,
                                  const std::string& label);
    IPromisePtr queueRequest(IOHandler& handler, const MessageContextPtr& context);

private:
    bool isFromCamera(const EndpointPtr& sender);
    IPromisePtr notAvailable(const char* operation);

    bool onGetCameraInfo(const Message& response, const EndpointPtr& sender);
    bool onGetCameraStatus(const Message& response, const EndpointPtr& sender);
    bool onEmptyResponse(const EndpointPtr& sender);
    bool onGetNetwork(const Message& response, const EndpointPtr& sender);
    bool onGetCapability(const Message& response, const EndpointPtr& sender);
    bool onGetCameraOption(const Message& response, const EndpointPtr& sender);
    bool onSetCameraOption(const Message& response, const EndpointPtr& sender);
    bool onGetPeripheralInfo(const Message& response, const EndpointPtr& sender);

    // Initialisation steps.
    void initializeSensors(size_t count);
    void initializeTec();
    void initializeFW();
    void initializeAO();
    // Waits on the promise, releases it and returns how the wait ended; the
    // promise's last error goes to `error` when asked for.
    static IPromise::Status waitAndRelease(IPromisePtr promise, std::string* error = nullptr);

    std::atomic<ICamera::State> m_state;
    CameraType m_cameraType;
    Info m_info;
    SensorList m_sensors;
    Status m_cameraStatus;
    TNetworkSettings m_networkSettings;
    unsigned char* m_pConfigDataExtBuffer;
    size_t m_configDataExtLng;
    ConfigData::Buffer m_configDataBuffer;
    ReadMemory::Buffer m_readMemoryBuffer;
    MemoryConfig::Payload m_memoryConfig;
    TECPtr m_pTec;
    FWPtr m_pFW;
    AOPtr m_pAO;
    CommPtr m_pComm;
    EndpointPtr m_pEndpoint;
    PromisePtr m_pJunkPromise;
    ConfigStatus m_configStatus;
    CapabilityMap m_capabilities;
    PeripheralList m_peripherals;
    std::mutex m_mutex;
    CDebugSettingsPtr m_pLogger;
    OptionMap m_cameraOptions;
    std::thread m_fpgaWorker;
    std::string m_fpgaFilePath;
    std::atomic<bool> m_uploadInProgress;
    std::string m_fpgaWorkerStatus;
};

} // namespace kv
