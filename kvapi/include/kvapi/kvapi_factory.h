// Factory and service interfaces: serial numbers, flash and configuration
// memory, camera options, shutter control, and the flash geometry used by
// firmware upload. An application reaches them by casting an ICameraPtr or
// ISensorPtr.
#ifndef KVAPI_KVAPI_FACTORY_H
#define KVAPI_KVAPI_FACTORY_H

#include <kvapi/kvapi.h>

#include <cstddef>
#include <cstdint>

namespace kv {

enum ConfigControlCommand : uint8_t {
    flashReadStatus = 0,
    flashWriteStatus = 1,
    flashSectorErase = 2,
    flashErasePartition = 3
};

enum ShutterActions : uint32_t {
    InitializeShutter = 0,
    OpenShutter = 1,
    CloseShutter = 2,
    ExcerciseShutter = 3,
    InvalidShutterAction = 255
};

namespace ConfigData {
struct Query {
    uint32_t dataLength = 0;
    uint32_t address = 0;
};
struct Buffer {
    unsigned char data[104] = {};
};
}  // namespace ConfigData

namespace ReadMemory {
struct Query {
    uint8_t address = 0;
};
struct Buffer {
    uint16_t data = 0;
};
}  // namespace ReadMemory

namespace MemoryConfig {
struct Payload {
    uint16_t offsetA = 0;
    uint16_t offsetB = 0;
    uint16_t offsetC = 0;
    uint16_t gainA = 0;
    uint16_t gainB = 0;
    uint16_t gainC = 0;
    float eGainIMG = 0.0f;
    uint16_t unused1 = 0;
    uint16_t unused2 = 0;
    float eGainTRK = 0.0f;
    uint16_t unused3 = 0;
    uint16_t unused4 = 0;
    uint16_t coolerCutoffThreshold = 0;
    uint16_t subVolt = 0;
    uint16_t flags = 0;
};
}  // namespace MemoryConfig

namespace Factory {

class KVAPI_EXPORT IFactoryCamera : public ICamera, public V2::IConnectionManager {
public:
    enum ConfigStatus : uint32_t { FlashProtected = 0x0F, FlashUnprotected = 0xF0 };
    enum IMXFPGAPlatform : uint32_t { KintexUltraScalePlus = 0, ArtixUltraScalePlus = 1 };
    enum Option : uint32_t {
        eCameraOptionHasShutter = 0,
        eCameraOptionsOEMFlags = 1,
        eCameraOptionBrisaCCD = 2,
        eCameraOptionPlatform = 3,
        eCameraOptionCount = 4,
        eCameraOptionFirst = 0,
        eCameraOptionInvalid = 255
    };

    // Masks over the flash status byte.
    static constexpr uint8_t c_flashBusyMask = 1;
    static constexpr uint8_t c_flashBitProtectionMask = 0x1C;

    virtual IPromisePtr unlockFactoryFunctions() = 0;
    virtual IPromisePtr setSerial(uint32_t colour, uint32_t date, uint32_t index) = 0;
    virtual IPromisePtr queryConfigStatus() = 0;
    virtual IPromisePtr execConfigCommand(ConfigControlCommand command, uint8_t parameter) = 0;
    virtual ConfigStatus getConfigStatus() = 0;
    virtual IPromisePtr queryReadMemoryWord(ReadMemory::Query query) = 0;
    virtual ReadMemory::Buffer getReadMemoryBuffer() = 0;
    virtual IPromisePtr queryConfigDataDownload(ConfigData::Query query) = 0;
    virtual IPromisePtr setConfigData(uint32_t address, unsigned char* data, size_t length) = 0;
    virtual ConfigData::Buffer getConfigDataBuffer() = 0;
    virtual void getConfigDataExtBuffer(unsigned char*& data, size_t& length) = 0;
    virtual IPromisePtr queryMemoryConfig() = 0;
    virtual IPromisePtr setMemoryConfig(MemoryConfig::Payload payload) = 0;
    virtual MemoryConfig::Payload getMemoryConfig() = 0;
    virtual IPromisePtr queryCameraOption(Option option) = 0;
    virtual int getCameraOption(Option option) = 0;
    virtual IPromisePtr setCameraOption(Option option, int16_t value) = 0;
};

namespace V2 {
// The interface the library's camera object really implements.
class KVAPI_EXPORT IFactoryCamera : public Factory::IFactoryCamera {
public:
    using Factory::IFactoryCamera::setSerial;
    virtual IPromisePtr setSerial(const char* serial, size_t length) = 0;
};
}  // namespace V2

class KVAPI_EXPORT IFactorySensor : public ISensor {
public:
    virtual IPromisePtr DebugStartExposure(uint32_t flags, const char* path,
                                           const TExposureOptions& options) override = 0;
    virtual IPromisePtr SetCalibration(const ISensor::Calibration& calibration, bool persist) = 0;
    virtual IPromisePtr SetShutter(ShutterActions action) = 0;
    virtual IPromisePtr setCalibration(ISensor::CalibrationKey key, int index, int value) = 0;

protected:
    ~IFactorySensor() = default;
};

}  // namespace Factory

// Flash geometry of the camera models, used by firmware upload.
namespace Constants {
constexpr int32_t flash_header_size = 128;
constexpr int32_t flash_mem_bytes_default = 0x100000;
constexpr int32_t flash_sectors_default = 32;
constexpr int32_t flash_mem_bytes_artix7 = 0x400000;
constexpr int32_t flash_sectors_artix7 = 128;
constexpr int32_t flash_mem_bytes_kintex_usp = 0x1000000;
constexpr int32_t flash_sectors_kintex_usp = 1024;
constexpr uint8_t write_in_progress = 1;
constexpr uint32_t fpga_sync_word = 0xAA995566;
constexpr int32_t fpga_sync_word_offset = 4;
constexpr int32_t fpga_max_block_xfer = 64;

inline int32_t flash_mem_bytes = flash_mem_bytes_default;
inline int32_t flash_sectors = flash_sectors_default;
inline int32_t flash_mem_start_address = 0;
inline int32_t flash_mem_end_address = 0;
inline int32_t flash_clear_start = 0;

inline int32_t getFlashMemBytes(ICamera::Model model) {
    switch (model) {
    case ICamera::BrisaCMOS:
    case ICamera::Vireo:
    case ICamera::MTC:
    case ICamera::BrisaBC2020:
    case ICamera::VireoE:
    case ICamera::VireoC:
        return flash_mem_bytes_artix7;
    case ICamera::BrisaBC455:
    case ICamera::BrisaBC461:
        return flash_mem_bytes_kintex_usp;
    default:
        return flash_mem_bytes_default;
    }
}

inline int32_t getFlashSectors(ICamera::Model model) {
    switch (model) {
    case ICamera::BrisaCMOS:
    case ICamera::Vireo:
    case ICamera::MTC:
    case ICamera::BrisaBC2020:
    case ICamera::VireoE:
    case ICamera::VireoC:
        return flash_sectors_artix7;
    case ICamera::BrisaBC455:
    case ICamera::BrisaBC461:
        return flash_sectors_kintex_usp;
    default:
        return flash_sectors_default;
    }
}

inline void updateFlashSizes(ICamera::Model model) {
    flash_mem_bytes = getFlashMemBytes(model);
    flash_sectors = getFlashSectors(model);
    flash_mem_start_address = flash_mem_bytes;
    flash_mem_end_address = flash_mem_start_address + flash_mem_bytes;
    flash_clear_start = flash_sectors / 2;
}
}  // namespace Constants

}  // namespace kv

#endif  // KVAPI_KVAPI_FACTORY_H
