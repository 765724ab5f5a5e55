// Applications call the library through the interfaces' virtual tables, so the
// slot of every operation is part of the binary interface. Under the Itanium
// C++ ABI a pointer to a virtual member function holds 1 + the byte offset of
// its slot, which lets the tests read the slot numbers back.
#include <kvapi/kvapi.h>
#include <kvapi/kvapi_async.h>
#include <kvapi/kvapi_factory.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

template <typename F>
long slotOf(F f) {
    static_assert(sizeof(F) == 2 * sizeof(void*), "Itanium member-function pointer");
    uintptr_t raw[2];
    std::memcpy(raw, &f, sizeof raw);
    EXPECT_EQ(raw[0] & 1u, 1u) << "not a virtual function";
    return static_cast<long>((raw[0] - 1) / sizeof(void*));
}

struct Slot {
    const char* name;
    long actual;
    long expected;
};

void expectSlots(const std::vector<Slot>& slots) {
    for (const auto& s : slots) {
        EXPECT_EQ(s.actual, s.expected) << s.name;
    }
}

#define SLOT(expr, n) Slot{#expr, slotOf(expr), n}

TEST(InterfaceSlots, Gateway) {
    using G = kv::IGateway;
    expectSlots({
        SLOT(&G::getCameraConnectionDetails, 2),
        SLOT(&G::getCamera, 3),
        SLOT(&G::queryUSBCameras, 4),
        SLOT(&G::getUSBCameraCount, 5),
        SLOT(&G::getUSBCamera, 6),
        SLOT(&G::queryNetCameras, 7),
        SLOT(&G::queryNetCamera, 8),
        SLOT(&G::getNetCameraCount, 9),
        SLOT(static_cast<kv::ICameraPtr (G::*)(uint32_t)>(&G::getNetCamera), 10),
        SLOT(static_cast<kv::ICameraPtr (G::*)(const char*, uint32_t)>(&G::getNetCamera), 11),
        SLOT(&G::getCommProtocolVersion, 12),
        SLOT(&G::initFitsDebugSettings, 13),
        SLOT(&G::initNetworkConfig, 14),
        SLOT(&kv::IDebugControl::setDebugSetting, 0),
        SLOT(&kv::IDebugControl::getDebugSetting, 1),
        SLOT(&kv::IDebugControl::hasDebugSetting, 2),
    });
}

TEST(InterfaceSlots, CameraAndFactoryCamera) {
    using C = kv::ICamera;
    using F = kv::Factory::IFactoryCamera;
    using F2 = kv::Factory::V2::IFactoryCamera;
    expectSlots({
        SLOT(&C::initialize, 2),
        SLOT(&C::queryInfo, 3),
        SLOT(&C::queryStatus, 4),
        SLOT(&C::queryNetworkSettings, 5),
        SLOT(&C::queryCapability, 6),
        SLOT(&C::pulseGuide, 7),
        SLOT(&C::setNetworkSettings, 8),
        SLOT(&C::getInfo, 9),
        SLOT(&C::getSerial, 10),
        SLOT(&C::getConnectionType, 11),
        SLOT(&C::getConnectionInfo, 12),
        SLOT(&C::getStatus, 13),
        SLOT(&C::getCapability, 14),
        SLOT(&C::getNetworkSettings, 15),
        SLOT(&C::getSensor, 16),
        SLOT(&C::getTEC, 17),
        SLOT(&C::getAO, 18),
        SLOT(&C::getFW, 19),
        SLOT(&F::unlockFactoryFunctions, 20),
        SLOT(static_cast<kv::IPromisePtr (F::*)(uint32_t, uint32_t, uint32_t)>(&F::setSerial), 21),
        SLOT(&F::queryConfigStatus, 22),
        SLOT(&F::execConfigCommand, 23),
        SLOT(&F::getConfigStatus, 24),
        SLOT(&F::queryReadMemoryWord, 25),
        SLOT(&F::getReadMemoryBuffer, 26),
        SLOT(&F::queryConfigDataDownload, 27),
        SLOT(&F::setConfigData, 28),
        SLOT(&F::getConfigDataBuffer, 29),
        SLOT(&F::getConfigDataExtBuffer, 30),
        SLOT(&F::queryMemoryConfig, 31),
        SLOT(&F::setMemoryConfig, 32),
        SLOT(&F::getMemoryConfig, 33),
        SLOT(&F::queryCameraOption, 34),
        SLOT(&F::getCameraOption, 35),
        SLOT(&F::setCameraOption, 36),
        SLOT(static_cast<kv::IPromisePtr (F2::*)(const char*, size_t)>(&F2::setSerial), 37),
        SLOT(&kv::V2::IConnectionManager::getConnection, 0),
        SLOT(&kv::V2::IConnectionManager::setConnection, 1),
        SLOT(&kv::V2::IFirmwareManager::upload, 0),
        SLOT(&kv::V2::IFirmwareManager::getFPGAWorkerStatus, 1),
        SLOT(&kv::IAsyncIOHandler::isAsync, 0),
        SLOT(&kv::IAsyncIOHandler::setAsync, 1),
    });
}

TEST(InterfaceSlots, SensorAndFactorySensor) {
    using S = kv::ISensor;
    using FS = kv::Factory::IFactorySensor;
    expectSlots({
        SLOT(&S::getSensorId, 0),
        SLOT(&S::getInfo, 1),
        SLOT(static_cast<S::Calibration (S::*)()>(&S::getCalibration), 2),
        SLOT(&S::getSettings, 3),
        SLOT(&S::getSetting, 4),
        SLOT(&S::getSubframe, 5),
        SLOT(&S::getImage, 6),
        SLOT(&S::queryInfo, 7),
        SLOT(&S::querySetting, 8),
        SLOT(static_cast<kv::IPromisePtr (S::*)()>(&S::queryCalibration), 9),
        SLOT(static_cast<kv::IPromisePtr (S::*)(S::CalibrationKey, int)>(&S::queryCalibration), 10),
        SLOT(static_cast<uint32_t (S::*)(S::CalibrationKey, int)>(&S::getCalibration), 11),
        SLOT(&S::querySubframe, 12),
        SLOT(&S::setSetting, 13),
        SLOT(&S::setSubframe, 14),
        SLOT(&S::startExposure, 15),
        SLOT(&S::DebugStartExposure, 16),
        SLOT(&S::startDownload, 17),
        SLOT(&S::abortExposure, 18),
        SLOT(&S::getReadoutModes, 19),
        SLOT(&S::getAdjustableGains, 20),
        SLOT(&S::getAdjustableGainCount, 21),
        SLOT(&S::getDefaultAdjustableGain, 22),
        SLOT(&FS::DebugStartExposure, 16),
        SLOT(&FS::SetCalibration, 23),
        SLOT(&FS::SetShutter, 24),
        SLOT(&FS::setCalibration, 25),
    });
}

TEST(InterfaceSlots, ComponentsPromiseAndImages) {
    using M = kv::V2::IImage::IMetadataKey;
    using I2 = kv::V2::IImage;
    expectSlots({
        SLOT(&kv::ITEC::getEnabled, 0),
        SLOT(&kv::ITEC::getSetpoint, 1),
        SLOT(&kv::ITEC::getCoolerPower, 2),
        SLOT(&kv::ITEC::getSensorThermopileTemperature, 3),
        SLOT(&kv::ITEC::getHeatSinkThermopileTemperature, 4),
        SLOT(&kv::ITEC::setState, 5),
        SLOT(&kv::IAO::initialize, 0),
        SLOT(&kv::IAO::queryStatus, 1),
        SLOT(&kv::IAO::setPosition, 2),
        SLOT(&kv::IAO::getStatus, 3),
        SLOT(&kv::IAO::getPosition, 4),
        SLOT(&kv::IAO::getLimits, 5),
        SLOT(&kv::IAO::getModel, 6),
        SLOT(&kv::IFW::initialize, 0),
        SLOT(&kv::IFW::queryStatus, 1),
        SLOT(&kv::IFW::getPosition, 2),
        SLOT(&kv::IFW::getStatus, 3),
        SLOT(&kv::IFW::getModel, 4),
        SLOT(&kv::IFW::getSlots, 5),
        SLOT(&kv::IFW::setPosition, 6),
        SLOT(&kv::IFWExtended::getChildCount, 7),
        SLOT(&kv::IFWExtended::getChildModel, 8),
        SLOT(&kv::IFWExtended::getChildSlots, 9),
        SLOT(&kv::IFWExtended::getModelName, 10),
        SLOT(&kv::IPromise::getLastError, 0),
        SLOT(&kv::IPromise::getAPIStatusCode, 1),
        SLOT(&kv::IPromise::getStatus, 2),
        SLOT(&kv::IPromise::wait, 3),
        SLOT(&kv::IPromise::release, 4),
        SLOT(&kv::IImage::getBufferData, 0),
        SLOT(&kv::IImage::getBufferLength, 1),
        SLOT(&kv::IImage::getMetadata, 2),
        SLOT(&kv::IImageExt::getLayerCount, 0),
        SLOT(&kv::IImageExt::getLayerMetadata, 1),
        SLOT(&kv::IImageExt::getExpMidpoint, 2),
        SLOT(&I2::hasMetadataKeys, 3),
        SLOT(&I2::getMetadataKeyCount, 4),
        SLOT(static_cast<M* (I2::*)(size_t)>(&I2::getMetadataKey), 5),
        SLOT(static_cast<M* (I2::*)(const char*)>(&I2::getMetadataKey), 6),
        SLOT(&M::id, 0),
        SLOT(&M::key, 1),
        SLOT(&M::type, 2),
        SLOT(&M::value, 3),
        SLOT(&M::asInt, 4),
        SLOT(&M::asFloat, 5),
        SLOT(&M::asDouble, 6),
        SLOT(&M::asString, 7),
        SLOT(&M::asBool, 8),
    });
}

}  // namespace
