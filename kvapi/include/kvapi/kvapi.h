// Public interface of libkvapi.so.4: the entry points, the interfaces through
// which an application drives gateways, cameras, sensors and accessories, and
// the records, enumerations and constants that travel through them.
//
// Objects handed to the application are owned by the library: the gateway is
// returned through deleteGateway, promises through IPromise::release, and
// everything else belongs to its camera.
#ifndef KVAPI_KVAPI_H
#define KVAPI_KVAPI_H

#include <cstddef>
#include <cstdint>
#include <string>

#if defined(__GNUC__)
#define KVAPI_EXPORT __attribute__((visibility("default")))
#else
#define KVAPI_EXPORT
#endif

namespace kv {

class IGateway;
class ICamera;
class ISensor;
class ITEC;
class IAO;
class IFW;
class IPromise;
class IImage;

using IGatewayPtr = IGateway*;
using ICameraPtr = ICamera*;
using ISensorPtr = ISensor*;
using ITECPtr = ITEC*;
using IAOPtr = IAO*;
using IFWPtr = IFW*;
using IPromisePtr = IPromise*;
using IImagePtr = IImage*;

// Status of every response header, and of a failed promise.
enum EStatusCode : uint32_t {
    Success = 0,
    ClientError = 1,
    InvalidSoh = 1,
    InvalidHeaderType = 2,
    InvalidBodyType = 3,
    InvalidFooterType = 4,
    InvalidSensorId = 5,
    InvalidMessageLength = 6,
    InvalidParameter = 7,
    UnsupportedBodyType = 8,
    BadChecksum = 9,
    DeviceError = 128,
    DeviceBusy = 129,
    ExposureInProgress = 129,
    ReadoutInProgress = 129,
    ImageNotAvailable = 130,
    FeatureNotSupported = 131,
    InvalidStatus = 255
};

namespace errors {
// Readable text of a status code; "Unknown Error" for codes without one.
KVAPI_EXPORT std::string getErrorString(EStatusCode code);
}  // namespace errors

enum EEndpointType : uint32_t {
    Net = 1,
    USB = 2,
    USB3 = 3,
    RAW = 4,
    EndpointTypeCount = 5,
    LastEndpointType = 4,
    FirstEndpointType = 1,
    InvalidEndpoint = 255
};

enum EPulseGuideDirection : uint32_t { North = 0, South = 1, East = 2, West = 3 };

enum EFilterType : uint32_t { Monochrome = 0, Color = 1, SparseColor = 2, InvalidFilterType = 255 };
using FilterType = EFilterType;

enum EFrameType : uint32_t {
    Progressive = 0,
    Interline = 1,
    BayerInterline = 2,
    RollingShutter = 3,
    GlobalShutter = 4,
    InvalidFrameType = 255
};

enum EShutterStatus : uint32_t {
    ShutterClosed = 0,
    ShutterOpen = 1,
    ShutterClosing = 2,
    ShutterOpening = 3,
    ShutterRolling = 4,
    ShutterExercising = 5,
    ShutterError = 6,
    ShutterUninitialized = 255
};

enum ENetworkMode : uint32_t { AdHoc = 0, Open = 1, WEP = 2, WPA = 3, WPA2 = 4, InvalidNetworkMode = 255 };

// How the application names a discovered camera.
struct TConnectionDetails {
    uint32_t serialNumber = 0;
    EEndpointType endpointType = InvalidEndpoint;
    size_t index = 0;  // position in the gateway's list for that kind
};

struct TExposureOptions {
    float duration = 0.0f;  // seconds
    uint32_t readoutMode = 0;
    char binX = 1;
    char binY = 1;
    bool isLightFrame = true;
    bool useRBIPreflash = false;
    bool useExtTrigger = false;
};

struct TSubframe {
    int32_t top = 0;
    int32_t left = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t binX = 1;
    int32_t binY = 1;
};

// Wi-Fi settings. Only the first ssidLength / passphraseLength characters
// count; the arrays are not terminated.
struct TNetworkSettings {
    uint32_t ssidLength = 0;
    uint32_t passphraseLength = 0;
    ENetworkMode mode = InvalidNetworkMode;
    char ssid[32] = {};
    char passphrase[64] = {};
    bool isUsaCanadaMode = false;
    bool isPassphraseHex = false;
};

struct TImageMetadata {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t offsetX = 0;
    uint32_t offsetY = 0;
    uint32_t binX = 0;
    uint32_t binY = 0;
    float eGain = 0.0f;
    float exposureDuration = 0.0f;
};

struct TLayerMetadata {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t binX = 0;
    uint32_t binY = 0;
    float eGain = 0.0f;
    uint32_t darkCol = 0;
    float exposureDuration = 0.0f;
    uint32_t exposureDelay = 0;
    uint32_t exposureWindow = 0;
};

namespace PulseGuideStatus {
constexpr uint8_t c_xBusy = 1;  // a pulse on the X (east/west) axis is running
constexpr uint8_t c_yBusy = 2;  // a pulse on the Y (north/south) axis is running
}  // namespace PulseGuideStatus

namespace ErrorFlags {
namespace TEC {
constexpr uint32_t ThermistorErrorFlagMask = 3;
constexpr uint32_t SensorThermistorErrorFlag = 1;
constexpr uint32_t HeatSinkThermistorErrorFlag = 2;
}  // namespace TEC
namespace AO {
constexpr uint8_t statusMask = 0x0F;
constexpr uint8_t busy = 0x01;
constexpr uint8_t badCalibration = 0x02;
constexpr uint8_t reserved = 0x04;
constexpr uint8_t badCommand = 0x08;
}  // namespace AO
}  // namespace ErrorFlags

// The result of an operation that talks to a camera. wait() blocks until the
// exchange has an outcome; release() hands the promise back to the library.
class KVAPI_EXPORT IPromise {
public:
    enum Status : uint32_t { Idle = 0, Executing = 1, Complete = 2, Error = 3, InvalidFuture = 255 };

    virtual void getLastError(char* buffer, size_t& length) = 0;
    virtual EStatusCode getAPIStatusCode() = 0;
    virtual Status getStatus() = 0;
    virtual Status wait() = 0;
    virtual void release() = 0;

protected:
    ~IPromise() = default;
};

class KVAPI_EXPORT IImage {
public:
    virtual uint16_t* getBufferData() = 0;
    virtual uint32_t getBufferLength() = 0;
    virtual TImageMetadata getMetadata() = 0;

protected:
    ~IImage() = default;
};

class KVAPI_EXPORT IImageExt {
public:
    virtual size_t getLayerCount() = 0;
    virtual TLayerMetadata getLayerMetadata(uint32_t layer) = 0;
    virtual void getExpMidpoint(char* buffer, size_t& length) = 0;

protected:
    ~IImageExt() = default;
};

namespace V2 {
class KVAPI_EXPORT IImage : public IImageExt {
public:
    class KVAPI_EXPORT IMetadataKey {
    public:
        enum Type : int32_t { UNKNOWN = 0, INT = 1, FLOAT = 2, DOUBLE = 3, STRING = 4, BOOL = 5 };

        virtual uint32_t id() = 0;
        virtual const char* key() = 0;
        virtual Type type() = 0;
        virtual const char* value() = 0;
        virtual int asInt() = 0;
        virtual float asFloat() = 0;
        virtual double asDouble() = 0;
        virtual const char* asString() = 0;
        virtual bool asBool() = 0;

    protected:
        ~IMetadataKey() = default;
    };

    virtual bool hasMetadataKeys() = 0;
    virtual size_t getMetadataKeyCount() = 0;
    virtual IMetadataKey* getMetadataKey(size_t index) = 0;
    virtual IMetadataKey* getMetadataKey(const char* key) = 0;

protected:
    ~IImage() = default;
};
}  // namespace V2

class KVAPI_EXPORT ISensor {
public:
    enum Model : uint32_t {
        RESERVED1 = 0,
        RESERVED2 = 1,
        ICX694 = 2,
        ICX814 = 3,
        CCD4710 = 4,
        CCD7700 = 5,
        RESERVED3 = 6,
        RESERVED4 = 7,
        RESERVED6 = 8,
        RESERVED5 = 9,
        KAF3200 = 10,
        KAF8300 = 11,
        RESERVED7 = 16,
        RESERVED8 = 17,
        RESERVEDB1 = 256,
        RESERVEDC1 = 512,
        GSENSE4040 = 768,
        GSENSE4040BSI = 769,
        P1300 = 1024,
        IMX428 = 1280,
        IMX428_7 = 1281,
        GSENSE2020 = 1536,
        IMX290 = 2048,
        IMX455 = 2304,
        IMX461 = 2305,
        InvalidSensorModel = 255
    };

    // Exposure state machine as the camera reports it.
    enum Status : uint32_t {
        Idle = 0,
        Trigger = 1,
        PreShutter = 2,
        DoShutterOpen = 3,
        Starting = 4,
        Exposing = 5,
        DoShutterClose = 6,
        Reading = 7,
        ReadyToDownload = 8,
        HomingShutter = 9,
        InvalidSensorState = 255
    };

    enum Setting : uint32_t {
        UseOverscan = 0,
        RBIPreflashDuration = 1,
        RBIPreflashFlushCount = 2,
        UseWindowHeater = 3,
        FanSpeed = 4,
        ToggleIRLEDs = 5,
        UseOnChipBinning = 6,
        UseExtTrigger = 7,
        AutoFanMode = 8,
        ShutterPolarity = 9,
        EnableStatusLED = 10,
        PartialExposureLength = 11,
        UseFWAsShutter = 12,
        AnalogGain0 = 13,
        AnalogGain1 = 14,
        ContinuousExposure = 15,
        SettingCount = 16,
        SoftwareBinMode = 268435456,
        SoftwareSettingCount = 268435457,
        FirstSensorSetting = 0,
        FirstSoftwareSetting = 268435456,
        InvalidSensorSetting = 255
    };

    enum SoftwareBinningMode : int32_t { SumAndClip = 0, Average = 1, Count = 2, First = 0, Default = 0 };

    enum CalibrationKey : uint32_t {
        EGain = 0,
        DriftStabilization = 1,
        TestPatternMode = 2,
        CalibrationCount = 3,
        FirstCalibrationKey = 0,
        InvalidCalibrationKey = 255
    };

    enum AdjustableGainMode : uint32_t {
        eAdjustableADCGain0 = 0,
        eAdjustableADCGain1 = 1,
        eAdjustableADCGainCount = 2,
        eAdjustableADCGainFirst = 0,
        eAdjustableGainBC4040HiGain = 0,
        eAdjustableGainBC4040LoGain = 1
    };

    struct Info {
        uint32_t id = 0;
        Model model = InvalidSensorModel;
        uint32_t pixelsX = 0;
        uint32_t pixelsY = 0;
        uint32_t numberOfChannelsAvailable = 0;
        FilterType filterType = InvalidFilterType;
        EFrameType frameType = InvalidFrameType;
        float pixelSizeX = 0.0f;
        float pixelSizeY = 0.0f;
        int32_t minCoolerSetpoint = 0;
        int32_t maxCoolerSetpoint = 0;
        uint32_t maxBinX = 0;
        uint32_t maxBinY = 0;
        float minExposureDuration = 0.0f;
        float exposurePrecision = 0.0f;
        bool hasRBIPreflash = false;
        uint8_t flag = 0;
    };

    struct Calibration {
        uint32_t substrateVoltage = 0;
        uint32_t channelsInUse = 0;
        uint32_t adcGains[4] = {};
        int32_t adcOffsets[4] = {};
        float eGain = 0.0f;
    };

    struct Settings {
        struct RBIPreflashSettings {
            int32_t duration = 0;
            int32_t flushes = 0;
        };
        RBIPreflashSettings rbiPreflash;
        int32_t fanSpeed = 0;
        bool useOverscan = false;
        bool useWindowHeater = false;
        bool enableIRLEDs = false;
        bool useOnChipBinning = false;
        bool useExtTrigger = false;
        bool autoFanSpeed = false;
        int32_t shutterPolarity = 0;
        bool enableStatusLED = false;
        int32_t partialExposureLength = 0;
        int32_t useFWAsShutter = 0;
    };

    virtual uint32_t getSensorId() = 0;
    virtual Info getInfo() = 0;
    virtual Calibration getCalibration() = 0;
    virtual Settings getSettings() = 0;
    virtual int getSetting(Setting setting) = 0;
    virtual TSubframe getSubframe() = 0;
    virtual IImagePtr getImage() = 0;
    virtual IPromisePtr queryInfo() = 0;
    virtual IPromisePtr querySetting(Setting setting) = 0;
    virtual IPromisePtr queryCalibration() = 0;
    virtual IPromisePtr queryCalibration(CalibrationKey key, int index) = 0;
    virtual uint32_t getCalibration(CalibrationKey key, int index) = 0;
    virtual IPromisePtr querySubframe() = 0;
    virtual IPromisePtr setSetting(Setting setting, int value) = 0;
    virtual IPromisePtr setSubframe(const TSubframe& subframe) = 0;
    virtual IPromisePtr startExposure(const TExposureOptions& options) = 0;
    virtual IPromisePtr DebugStartExposure(uint32_t flags, const char* path, const TExposureOptions& options) = 0;
    virtual IPromisePtr startDownload() = 0;
    virtual IPromisePtr abortExposure() = 0;
    virtual void getReadoutModes(char* buffer, size_t& length) = 0;
    virtual void getAdjustableGains(AdjustableGainMode mode, int* gains, uint32_t& count) = 0;
    virtual uint32_t getAdjustableGainCount(AdjustableGainMode mode) = 0;
    virtual uint32_t getDefaultAdjustableGain(AdjustableGainMode mode) = 0;

protected:
    ~ISensor() = default;
};

// Thermoelectric cooler.
class KVAPI_EXPORT ITEC {
public:
    virtual bool getEnabled() = 0;
    virtual float getSetpoint() = 0;
    virtual float getCoolerPower() = 0;
    virtual float getSensorThermopileTemperature() = 0;
    virtual float getHeatSinkThermopileTemperature() = 0;
    virtual IPromisePtr setState(bool enable, float setpoint) = 0;

protected:
    ~ITEC() = default;
};

// Adaptive-optics unit.
class KVAPI_EXPORT IAO {
public:
    enum Status : uint32_t { Idle = 0, Busy = 1, Error = 2, InvalidAOStatus = 255 };
    enum Model : uint32_t { UnknownAOModel = 0, TT8 = 1, TTX = 2, InvalidAOModel = 255 };

    virtual IPromisePtr initialize() = 0;
    virtual IPromisePtr queryStatus() = 0;
    virtual IPromisePtr setPosition(int16_t x, int16_t y) = 0;
    virtual Status getStatus() = 0;
    virtual void getPosition(int16_t& x, int16_t& y) = 0;
    virtual void getLimits(size_t& minX, size_t& maxX, size_t& minY, size_t& maxY) = 0;
    virtual Model getModel() = 0;

protected:
    ~IAO() = default;
};

// Filter wheel.
class KVAPI_EXPORT IFW {
public:
    enum Model : uint32_t {
        UnknownFWModel = 0,
        TW2 = 1,
        TW5 = 2,
        TW8 = 3,
        TWL = 4,
        TW402 = 5,
        TW6A = 6,
        TW10 = 7,
        TW10_SERIAL = 8,
        TW9 = 9,
        TWL8 = 10,
        TWL8G = 11,
        TW1603 = 12,
        FW5_MX = 13,
        FW5_8300 = 14,
        FW8_8300 = 15,
        FW7_MX = 16,
        FW8_MT = 17,
        FW5_MF_DETENT = 18,
        Internal = 19,
        BFW16 = 20,
        BFW15 = 21,
        BFW14 = 22,
        BFW13 = 23,
        BFW12 = 24,
        BFW11 = 25,
        BFW10 = 26,
        BFW9 = 27,
        BFW8 = 28,
        BFW7 = 29,
        BFW6 = 30,
        BFW5 = 31,
        BFW4 = 32,
        BFW3 = 33,
        BFW2 = 34,
        InvalidFWModel = 255
    };
    enum Status : uint32_t { FWIdle = 0, FWBusy = 1, FWError = 2, InvalidFWStatus = 255 };

    virtual IPromisePtr initialize() = 0;
    virtual IPromisePtr queryStatus() = 0;
    virtual int getPosition() = 0;
    virtual Status getStatus() = 0;
    virtual Model getModel() = 0;
    virtual uint32_t getSlots() = 0;
    virtual IPromisePtr setPosition(int position) = 0;

protected:
    ~IFW() = default;
};

// A filter wheel with child wheels stacked behind it.
class KVAPI_EXPORT IFWExtended : public IFW {
public:
    virtual uint32_t getChildCount() = 0;
    virtual Model getChildModel(uint32_t child) = 0;
    virtual uint32_t getChildSlots(uint32_t child) = 0;
    virtual const char* getModelName(uint32_t child) = 0;

protected:
    ~IFWExtended() = default;
};

class KVAPI_EXPORT ICamera {
public:
    enum State : uint32_t { Uninitialized = 0, Initializing = 1, Ready = 2, Error = 3 };

    enum Model : uint32_t {
        Brisa = 0,
        BrisaPro = 1,
        Reserved2 = 2,
        BrisaCMOS = 3,
        Vireo = 4,
        MTC = 5,
        BrisaBC2020 = 6,
        VireoE = 7,
        VireoC = 8,
        BrisaBC455 = 9,
        Reserved9 = 10,
        BrisaBC461 = 11,
        InvalidCameraModel = 255,
        Reserved1 = 1,
        Reserved3 = 3,
        Reserved4 = 4,
        Reserved5 = 5,
        Reserved6 = 6,
        Reserved7 = 7,
        Reserved8 = 8,
        Reserved10 = 11,
        VireoP3 = 7,
        Vireo4 = 8
    };

    enum Capability : uint32_t {
        eSupportsFan = 0,
        eSupportsCooler = 1,
        eSupportsCoolerTemp = 2,
        eSupportsHeatSinkTemp = 3,
        eSupportsAdaptiveOptics = 4,
        eSupportsFilterWheel = 5,
        eSupportsGuidePort = 6,
        eSupportsWiFi = 7,
        eSupportsDefogHeater = 8,
        eSupportsSensorGainOffset = 9,
        eSupportsInternalStacking = 10,
        eSupportsFastContinuousReadout = 11,
        eSupportsShutter = 12,
        eSupportsPrecisionCoolerPower = 13,
        eSupportsExtendedStartDownload = 14,
        eSupportsInputVoltage = 15,
        eSupportsOverscan = 16,
        eSupportsOnChipBinning = 17,
        eSupportsAdjustableGain = 18,
        eSupportsPeripheralInfo = 19,
        eSupportsFibreXferProtocol = 20,
        eSupportsMetadataKeys = 21,
        CameraCapabilityCount = 22,
        eSupportsSoftwareBinMode = 268435456,
        SoftwareCapabilityCount = 268435457,
        FirstSoftwareCapability = 268435456,
        InvalidCameraCapability = 255
    };

    // The last status answer.
    struct Status {
        ISensor::Status mainSensorState = ISensor::InvalidSensorState;
        ISensor::Status extSensorState = ISensor::InvalidSensorState;
        float sensorTemperature = 0.0f;
        float coolerPower = 0.0f;
        float heatSinkTemperature = 0.0f;
        float inputVoltage = 0.0f;
        uint32_t pulseGuideStatus = 0;  // bits of PulseGuideStatus
        uint32_t flag = 0;
        EShutterStatus shutterStatus = ShutterUninitialized;
    };

    // The camera's identity.
    struct Info {
        Model model = InvalidCameraModel;
        uint32_t serialNumber = 0;
        uint32_t firmwareRevision = 0;
        uint32_t wifiFirmwareRevision = 0;
        uint8_t numberOfSensors = 0;
    };

    virtual ~ICamera() = default;
    virtual bool initialize() = 0;
    virtual IPromisePtr queryInfo() = 0;
    virtual IPromisePtr queryStatus() = 0;
    virtual IPromisePtr queryNetworkSettings() = 0;
    virtual IPromisePtr queryCapability(Capability capability) = 0;
    // abort true stops a running pulse on that axis.
    virtual IPromisePtr pulseGuide(EPulseGuideDirection direction, uint32_t duration, bool abort) = 0;
    virtual IPromisePtr setNetworkSettings(const TNetworkSettings& settings) = 0;
    virtual Info getInfo() = 0;
    virtual void getSerial(char* buffer, size_t& length) = 0;
    virtual EEndpointType getConnectionType() = 0;
    virtual void getConnectionInfo(char* buffer, size_t& length) = 0;
    virtual Status getStatus() = 0;
    virtual bool getCapability(Capability capability) = 0;
    virtual TNetworkSettings getNetworkSettings() = 0;
    virtual ISensorPtr getSensor(uint32_t index) = 0;
    virtual ITECPtr getTEC() = 0;
    virtual IAOPtr getAO() = 0;
    virtual IFWPtr getFW() = 0;
};

// Log level control, implemented by the gateway.
class KVAPI_EXPORT IDebugControl {
public:
    enum Setting : uint32_t { Enable = 0, Count = 1, Last = 0, First = 0 };

    virtual void setDebugSetting(Setting setting, int value) = 0;
    virtual int getDebugSetting(Setting setting) = 0;
    virtual bool hasDebugSetting(Setting setting) = 0;

protected:
    ~IDebugControl() = default;
};

// The registry of cameras and the application's first object.
class KVAPI_EXPORT IGateway {
public:
    virtual ~IGateway() = default;
    virtual TConnectionDetails getCameraConnectionDetails(uint32_t serialNumber) = 0;
    virtual ICameraPtr getCamera(TConnectionDetails details) = 0;
    virtual void queryUSBCameras() = 0;
    virtual size_t getUSBCameraCount() = 0;
    virtual ICameraPtr getUSBCamera(uint32_t index) = 0;
    virtual void queryNetCameras() = 0;
    virtual void queryNetCamera(const char* ipAddress, size_t port) = 0;
    virtual size_t getNetCameraCount() = 0;
    virtual ICameraPtr getNetCamera(uint32_t index) = 0;
    virtual ICameraPtr getNetCamera(const char* ipAddress, uint32_t port) = 0;
    virtual size_t getCommProtocolVersion() = 0;
    virtual void initFitsDebugSettings() = 0;
    virtual void initNetworkConfig(const char* path) = 0;
};

namespace V2 {
class KVAPI_EXPORT IConnectionManager {
public:
    virtual bool getConnection() = 0;
    virtual void setConnection(bool connected) = 0;

protected:
    ~IConnectionManager() = default;
};

class KVAPI_EXPORT IFirmwareManager {
public:
    virtual IPromisePtr upload(const char* path) = 0;
    virtual const char* getFPGAWorkerStatus() = 0;

protected:
    ~IFirmwareManager() = default;
};
}  // namespace V2

// True for the CMOS platforms whose firmware and download follow the IMX scheme.
inline bool isIMXPlatform(ICamera::Model model) {
    return model == ICamera::BrisaBC455 || model == ICamera::BrisaBC461;
}

// Protocol revision of a camera, from its model and firmware revision.
KVAPI_EXPORT int getProtocolRevision(ICamera::Info info);

}  // namespace kv

// The process's single gateway; each call adds one to its use count.
extern "C" KVAPI_EXPORT kv::IGateway* getGateway();
// Drops one use of the gateway; the last one destroys it.
extern "C" KVAPI_EXPORT void deleteGateway(kv::IGateway* gateway);

#endif  // KVAPI_KVAPI_H
