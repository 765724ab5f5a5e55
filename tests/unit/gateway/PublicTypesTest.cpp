#include <kvapi/kvapi.h>
#include <kvapi/kvapi_async.h>
#include <kvapi/kvapi_factory.h>

#include <gtest/gtest.h>

#include <type_traits>

namespace {

using kv::EStatusCode;

TEST(ErrorStrings, EveryCodeClassAndAlias) {
    struct Case {
        uint32_t code;
        const char* text;
    };
    const Case cases[] = {
        {kv::Success, "Success"},
        {kv::ClientError, "Client Error :: Invalid SOH"},
        {kv::InvalidSoh, "Client Error :: Invalid SOH"},
        {kv::InvalidHeaderType, "Unknown Error"},
        {kv::InvalidBodyType, "Client Error :: Invalid Body Type"},
        {kv::InvalidFooterType, "Client Error :: Invalid Footer Type"},
        {kv::InvalidSensorId, "Client Error :: Invalid Sensor ID"},
        {kv::InvalidMessageLength, "Client Error :: Invalid Message Length"},
        {kv::InvalidParameter, "Client Error :: Invalid Parameter"},
        {kv::UnsupportedBodyType, "Client Error :: Body type unsupported"},
        {kv::BadChecksum, "Unknown Error"},
        {kv::DeviceError, "Unknown Error"},
        {kv::DeviceBusy, "Device Error :: Device is Busy and cannot comply"},
        {kv::ExposureInProgress, "Device Error :: Device is Busy and cannot comply"},
        {kv::ReadoutInProgress, "Device Error :: Device is Busy and cannot comply"},
        {kv::ImageNotAvailable, "Device Error :: Download requested, but no image is ready for transfer"},
        {kv::FeatureNotSupported, "Device Error :: Requested feature is not supported"},
        {kv::InvalidStatus, "Unknown Error"},
        // Outside the table.
        {10, "Unknown Error"},
        {127, "Unknown Error"},
        {132, "Unknown Error"},
        {254, "Unknown Error"},
        {256, "Unknown Error"},
        {0xFFFFFFFFu, "Unknown Error"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kv::errors::getErrorString(static_cast<EStatusCode>(c.code)), c.text) << "code " << c.code;
    }
}

TEST(PublicRecords, DefaultConstructedValues) {
    kv::TConnectionDetails details;
    EXPECT_EQ(details.serialNumber, 0u);
    EXPECT_EQ(details.endpointType, kv::InvalidEndpoint);
    EXPECT_EQ(details.index, 0u);

    kv::ICamera::Info info;
    EXPECT_EQ(info.model, kv::ICamera::InvalidCameraModel);
    EXPECT_EQ(info.serialNumber, 0u);
    EXPECT_EQ(info.firmwareRevision, 0u);
    EXPECT_EQ(info.wifiFirmwareRevision, 0u);
    EXPECT_EQ(info.numberOfSensors, 0u);

    kv::ICamera::Status status;
    EXPECT_EQ(status.mainSensorState, 255u);
    EXPECT_EQ(status.extSensorState, 255u);
    EXPECT_EQ(status.sensorTemperature, 0.0f);
    EXPECT_EQ(status.coolerPower, 0.0f);
    EXPECT_EQ(status.heatSinkTemperature, 0.0f);
    EXPECT_EQ(status.inputVoltage, 0.0f);
    EXPECT_EQ(status.pulseGuideStatus, 0u);
    EXPECT_EQ(status.flag, 0u);
    EXPECT_EQ(status.shutterStatus, kv::ShutterUninitialized);
}

TEST(PublicEnumerations, UnderlyingTypesAndValues) {
    static_assert(std::is_same<std::underlying_type<kv::EStatusCode>::type, uint32_t>::value, "");
    static_assert(std::is_same<std::underlying_type<kv::ISensor::SoftwareBinningMode>::type, int32_t>::value, "");
    static_assert(std::is_same<std::underlying_type<kv::V2::IImage::IMetadataKey::Type>::type, int32_t>::value, "");
    static_assert(std::is_same<std::underlying_type<kv::ConfigControlCommand>::type, uint8_t>::value, "");
    static_assert(sizeof(kv::TNetworkSettings::ssid) == 32 && sizeof(kv::TNetworkSettings::passphrase) == 64, "");
    static_assert(sizeof(kv::ConfigData::Buffer) == 104, "");
    EXPECT_EQ(kv::ICamera::Reserved10, kv::ICamera::BrisaBC461);
    EXPECT_EQ(kv::ICamera::VireoP3, kv::ICamera::VireoE);
    EXPECT_EQ(kv::ICamera::Vireo4, kv::ICamera::VireoC);
    EXPECT_EQ(kv::ISensor::RESERVED5, 9u);
    EXPECT_EQ(kv::ISensor::RESERVED6, 8u);
    EXPECT_EQ(kv::IFW::BFW16, 20u);
    EXPECT_EQ(kv::IFW::BFW2, 34u);
    EXPECT_EQ(kv::ICamera::eSupportsSoftwareBinMode, 1u << 28);
    EXPECT_EQ(kv::ISensor::SoftwareBinMode, 1u << 28);
    EXPECT_EQ(kv::Factory::IFactoryCamera::c_flashBitProtectionMask, 0x1C);
}

TEST(FlashGeometry, SizesByModelGroup) {
    struct Case {
        kv::ICamera::Model model;
        int32_t bytes;
        int32_t sectors;
    };
    const Case cases[] = {
        {kv::ICamera::Brisa, 0x100000, 32},         {kv::ICamera::BrisaPro, 0x100000, 32},
        {kv::ICamera::BrisaCMOS, 0x400000, 128},    {kv::ICamera::VireoC, 0x400000, 128},
        {kv::ICamera::BrisaBC455, 0x1000000, 1024}, {kv::ICamera::BrisaBC461, 0x1000000, 1024},
        {kv::ICamera::Reserved9, 0x100000, 32},     {kv::ICamera::InvalidCameraModel, 0x100000, 32},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kv::Constants::getFlashMemBytes(c.model), c.bytes) << c.model;
        EXPECT_EQ(kv::Constants::getFlashSectors(c.model), c.sectors) << c.model;
    }
    kv::Constants::updateFlashSizes(kv::ICamera::BrisaCMOS);
    EXPECT_EQ(kv::Constants::flash_mem_start_address, 0x400000);
    EXPECT_EQ(kv::Constants::flash_mem_end_address, 0x800000);
    EXPECT_EQ(kv::Constants::flash_clear_start, 64);
    kv::Constants::updateFlashSizes(kv::ICamera::Brisa);
}

TEST(ModelPredicates, IMXPlatform) {
    EXPECT_TRUE(kv::isIMXPlatform(kv::ICamera::BrisaBC455));
    EXPECT_TRUE(kv::isIMXPlatform(kv::ICamera::BrisaBC461));
    EXPECT_FALSE(kv::isIMXPlatform(kv::ICamera::BrisaBC2020));
    EXPECT_FALSE(kv::isIMXPlatform(kv::ICamera::Brisa));
}

}  // namespace
