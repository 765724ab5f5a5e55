#pragma once

#include <kvapi/kvapi.h>
#include <kvapi/kvapi_factory.h>

#include "camera/Peripheral.h"
#include "transport/IOHandler.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kv {

class Camera;
class CDebugSettings;
class Image;
class Message;
using CDebugSettingsPtr = std::shared_ptr<CDebugSettings>;
using ImagePtr = std::shared_ptr<Image>;

class Sensor;
using SensorPtr = std::shared_ptr<Sensor>;

// Readout-mode names by camera model, then by sensor model; a name's position
// is the mode number an exposure carries.
using ReadoutModeList = std::vector<std::string>;
using SensorReadoutList = std::map<ISensor::Model, ReadoutModeList>;
using CameraReadoutList = std::map<ICamera::Model, SensorReadoutList>;
using TCalibrationMap = std::map<ISensor::CalibrationKey, std::map<int32_t, int32_t>>;
using TSensorAdjustableGainMap =
    std::map<ISensor::Model, std::map<ISensor::AdjustableGainMode, std::vector<int>>>;
using TSensorAdjustableGainDefaultMap = std::map<ISensor::Model, std::map<ISensor::AdjustableGainMode, int>>;
using TSoftwareBinningSupport = std::map<ISensor::Model, std::pair<unsigned, unsigned>>;

// Sensors whose host bins in software report at least these binning limits.
extern const TSoftwareBinningSupport c_softwareBinningSupport;

// One image sensor of a camera (id 0 or 1): its description, settings,
// calibration, subframe and exposures. Every request names the sensor id in
// its header and goes to the camera's endpoint through the camera's transport;
// the answers fill the cached values read by the getters.
class Sensor : public Factory::IFactorySensor, public IOHandler, public Peripheral {
public:
    using ErrorCallback = std::function<void(EStatusCode, const std::string&)>;

    static const std::set<ISensor::Model> c_legacyCalibrationDataUnsupported;
    static const TSensorAdjustableGainMap c_adjGainMap;
    static const TSensorAdjustableGainDefaultMap c_defaultAdjGainMap;
    // What getCalibration(key, index) reports for a value the camera never sent.
    static constexpr uint32_t c_noCalibrationValue = 2147483647u;
    // Largest packet the host takes, announced with an extended subframe.
    static constexpr uint32_t c_subframeMtu = 9014;

    Sensor(uint8_t sensorId, ICamera::Model cameraModel, Camera& camera);
    ~Sensor() override;

    // ISensor
    uint32_t getSensorId() override;
    Info getInfo() override;
    Calibration getCalibration() override;
    Settings getSettings() override;
    int getSetting(Setting setting) override;
    TSubframe getSubframe() override;
    IImagePtr getImage() override;
    IPromisePtr queryInfo() override;
    IPromisePtr querySetting(Setting setting) override;
    IPromisePtr queryCalibration() override;
    IPromisePtr queryCalibration(CalibrationKey key, int index) override;
    uint32_t getCalibration(CalibrationKey key, int index) override;
    IPromisePtr querySubframe() override;
    IPromisePtr setSetting(Setting setting, int value) override;
    IPromisePtr setSubframe(const TSubframe& subframe) override;
    IPromisePtr startExposure(const TExposureOptions& options) override;
    IPromisePtr DebugStartExposure(uint32_t id, const char* type, const TExposureOptions& options) override;
    IPromisePtr startDownload() override;
    IPromisePtr abortExposure() override;
    void getReadoutModes(char* buffer, size_t& length) override;
    void getAdjustableGains(AdjustableGainMode mode, int* gains, uint32_t& count) override;
    uint32_t getAdjustableGainCount(AdjustableGainMode mode) override;
    uint32_t getDefaultAdjustableGain(AdjustableGainMode mode) override;

    // Factory::IFactorySensor
    IPromisePtr SetCalibration(const Calibration& calibration, bool persist) override;
    IPromisePtr SetShutter(ShutterActions action) override;
    IPromisePtr setCalibration(CalibrationKey key, int index, int value) override;

    virtual std::string getModelName(ICamera::Model cameraModel);
    // Information, legacy calibration (where the model has one) and subframe,
    // each waited for; throws std::runtime_error when one fails.
    virtual void initialize();
    void sendMessage() override;
    bool receiveMessage(const Message& response, EndpointPtr sender, MessageContextPtr context) override;
    virtual IPromisePtr queryMetadataKeys();

    // Waits for `promise` and releases it; on an error the callback gets the
    // camera's status and the error text. True when it completed.
    static bool handlePromise(IPromisePtr promise, const ErrorCallback& onError);

    // The description as the camera reported it, without software-binning floors.
    std::pair<uint32_t, uint32_t> getMaxHardwareBinningXY();
    ReadoutModeList GetReadoutModes();
    SoftwareBinningMode getSoftwareBinningMode();
    bool hasMetadataKeys();
    std::string getMetadataKeys();

    TSubframe getUserSubframe();
    void setUserSubframe(const TSubframe& subframe);
    TSubframe getCameraSubframe();
    void setCameraSubframe(const TSubframe& subframe);
    bool getIsDualFrame();
    void setIsDualFrame(bool dualFrame);
    std::chrono::system_clock::time_point getExposureStartTimestamp();
    TExposureOptions getLastExposureOptions();
    TCalibrationMap getCalibrationMap();
    std::map<Setting, uint16_t> getSettingsMap();
    ICamera::Model getCameraModel() const { return m_cameraModel; }
    // The gateway's debug settings: where this camera's debug images go.
    void setDebugSettings(CDebugSettingsPtr settings);
    CDebugSettingsPtr getDebugSettings();

protected:
    virtual bool onGetSensorSettings(const Message& response, const EndpointPtr& sender);
    virtual bool onSetSensorSettings(const Message& response, const EndpointPtr& sender);
    virtual bool onStartDownload(const Message& response, const EndpointPtr& sender);
    virtual bool onSetSubframe(const Message& response, const EndpointPtr& sender);

    bool isThisSensor(const Message& response, const EndpointPtr& sender);
    // The request procedure: make, fill, bind, queue; `fill` gets the request.
    IPromisePtr request(BodyType bodyType, MessagePriority priority, const std::string& label,
                        const std::function<void(Message&)>& fill, const std::function<void()>& onBound = nullptr);
    EndpointPtr requireEndpoint();
    // Logs at eERRORL1 and throws std::runtime_error with the text.
    [[noreturn]] void fail(const std::string& text);
    void log(int severity, const std::string& text);
    int _getSetting(Setting setting);
    void _setSetting(Setting setting, uint16_t value);
    void queueImgType(uint32_t id, const std::string& type);

    ICamera::Model m_cameraModel;
    uint8_t m_sensorId;
    Info m_info;
    Settings m_settings;
    TSubframe m_subframe;
    CameraReadoutList m_readoutModes;
    std::map<Setting, uint16_t> m_settingsMap;
    SoftwareBinningMode m_binMode = SumAndClip;
    CDebugSettingsPtr m_pDebugSettings;
    ImagePtr m_pImage;
    bool m_postProcessorReady = false;
    std::list<std::string> m_imgTypeList;
    std::list<uint32_t> m_imgIdList;
    TSubframe m_userSubframe;
    TSubframe m_cameraSubframe;
    bool m_isDualFrame = false;
    TCalibrationMap m_calibration;
    Calibration m_legacyCalibration;
    std::recursive_mutex m_mutex;
    std::chrono::system_clock::time_point m_exposureStartTimestamp;
    TExposureOptions m_lastExposureOptions;
    std::string m_metadataKeys;

private:
    bool onGetSensorInfo(const Message& response, const EndpointPtr& sender);
    bool onGetSensorCalibration(const Message& response, const EndpointPtr& sender);
    bool onEmptyResponse(const Message& response, const EndpointPtr& sender);
    bool onGetSubframe(const Message& response, const EndpointPtr& sender);
    bool onGetCalibrationByKey(const Message& response, const EndpointPtr& sender);
    bool onSetCalibrationByKey(const Message& response, const EndpointPtr& sender);
    bool onGetMetadataKeys(const Message& response, const EndpointPtr& sender);
    bool storeSetting(const Message& response, const EndpointPtr& sender);
    void initStep(IPromisePtr promise, const std::string& what);
};

} // namespace kv
