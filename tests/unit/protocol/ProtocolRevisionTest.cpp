#include "protocol/KVProtocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

using kv::ICamera;
using kv::Protocol;

namespace {

ICamera::Info cameraInfo(ICamera::Model model, uint32_t firmwareRevision)
{
    ICamera::Info info;
    info.model = model;
    info.firmwareRevision = firmwareRevision;
    return info;
}

// First revision of each feature.
struct FeatureStart {
    Protocol::Feature feature;
    int fromRevision;
};

const std::vector<FeatureStart> c_featureStarts = {
    {Protocol::IRLEDToggleSensorSetting, 1},
    {Protocol::OnChipBinToggleSensorSetting, 2},
    {Protocol::TriggerModeToggleSensorSetting, 2},
    {Protocol::GetSubframeCompactBody, 2},
    {Protocol::ExtendedMessageBodySize, 3},
    {Protocol::PerAxisPulseGuideStatus, 4},
    {Protocol::AutoFanModeToggleSensorSetting, 5},
    {Protocol::ExtendedConfigData, 5},
    {Protocol::FilterWheelErrorCodes, 6},
    {Protocol::GetCameraCapabilitiesCommand, 7},
    {Protocol::ShutterPolarityToggleSensorSetting, 7},
    {Protocol::EnableStatusLEDToggleSensorSetting, 7},
    {Protocol::AdaptiveOpticsErrorCodes, 7},
    {Protocol::ExtendedPacketId, 8},
};

} // namespace

TEST(ProtocolRevision, TableRowsAndFallbacks)
{
    struct Case {
        ICamera::Model model;
        uint32_t firmware;
        int revision;
    };
    const auto model = [](int value) { return static_cast<ICamera::Model>(value); };
    const std::vector<Case> cases = {
        {ICamera::Brisa, 0, 0}, {ICamera::Brisa, 2, 0}, {ICamera::Brisa, 3, 1}, {ICamera::Brisa, 8, 1},
        {ICamera::Brisa, 9, 2}, {ICamera::Brisa, 10, 3}, {ICamera::Brisa, 11, 3}, {ICamera::Brisa, 12, 4},
        {ICamera::Brisa, 13, 5}, {ICamera::Brisa, 16, 5}, {ICamera::Brisa, 17, 6}, {ICamera::Brisa, 18, 7},
        {ICamera::Brisa, 20, 7}, {ICamera::Brisa, 21, 8},
        {ICamera::Brisa, 22, 7}, {ICamera::Brisa, 1000, 7},
        {ICamera::Brisa, std::numeric_limits<uint32_t>::max(), 7},
        {ICamera::Vireo, 0, 7}, {ICamera::Vireo, 1, 7}, {ICamera::Vireo, 2, 8}, {ICamera::Vireo, 3, 7},
        {ICamera::MTC, 0, 8}, {ICamera::MTC, 1, 8}, {ICamera::MTC, 2, 7},
        {ICamera::VireoE, 0, 8}, {ICamera::VireoE, 1, 7},
        {ICamera::BrisaPro, 0, 7}, {ICamera::BrisaCMOS, 21, 7}, {ICamera::BrisaBC2020, 0, 7},
        {ICamera::VireoC, 2, 7}, {ICamera::BrisaBC455, 0, 7}, {ICamera::BrisaBC455, 21, 7},
        {ICamera::BrisaBC461, 5, 7}, {model(2), 0, 7}, {model(10), 0, 7}, {model(200), 0, 7},
        {ICamera::InvalidCameraModel, 0, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model << " firmware " << c.firmware);
        EXPECT_EQ(kv::getProtocolRevision(cameraInfo(c.model, c.firmware)), c.revision);
    }
}

TEST(ProtocolRevision, ReadsOnlyModelAndFirmwareRevision)
{
    ICamera::Info info = cameraInfo(ICamera::Brisa, 21);
    info.serialNumber = 99;
    info.wifiFirmwareRevision = 3;
    info.numberOfSensors = 2;
    EXPECT_EQ(kv::getProtocolRevision(info), 8);
}

// Each revision holds exactly the features that start at or below it, all true.
TEST(ProtocolFeatures, FeatureMapPerRevision)
{
    for (int revision = -2; revision <= 10; ++revision) {
        SCOPED_TRACE(revision);
        Protocol::TFeatureMap expected;
        for (const FeatureStart& start : c_featureStarts)
            if (revision >= start.fromRevision)
                expected[start.feature] = true;
        const Protocol protocol(revision);
        EXPECT_EQ(protocol.getFeatureMap(), expected);
        for (const FeatureStart& start : c_featureStarts)
            EXPECT_EQ(protocol.getFeatureSupported(start.feature), revision >= start.fromRevision);
    }
    EXPECT_TRUE(Protocol(-1).getFeatureMap().empty());
    EXPECT_EQ(Protocol(1).getFeatureMap().size(), 1u);
    EXPECT_EQ(Protocol(8).getFeatureMap().size(), 14u);
}

TEST(ProtocolFeatures, RevisionsOfTheDocumentedCameras)
{
    const Protocol brisa21(kv::getProtocolRevision(cameraInfo(ICamera::Brisa, 21)));
    const Protocol brisa22(kv::getProtocolRevision(cameraInfo(ICamera::Brisa, 22)));
    EXPECT_TRUE(brisa21.getFeatureSupported(Protocol::ExtendedPacketId));
    EXPECT_FALSE(brisa22.getFeatureSupported(Protocol::ExtendedPacketId));

    const Protocol brisa12(kv::getProtocolRevision(cameraInfo(ICamera::Brisa, 12)));
    const Protocol brisa13(kv::getProtocolRevision(cameraInfo(ICamera::Brisa, 13)));
    EXPECT_FALSE(brisa12.getFeatureSupported(Protocol::ExtendedConfigData));
    EXPECT_TRUE(brisa13.getFeatureSupported(Protocol::ExtendedConfigData));
}

TEST(ProtocolFeatures, LookupDoesNotInsertAndSettersReplace)
{
    Protocol protocol(1);
    EXPECT_FALSE(protocol.getFeatureSupported(Protocol::ExtendedPacketId));
    EXPECT_EQ(protocol.getFeatureMap().size(), 1u);
    EXPECT_EQ(protocol.getFeatureMap().count(Protocol::ExtendedPacketId), 0u);

    protocol.setFeatureSupported(Protocol::ExtendedPacketId, true);
    EXPECT_TRUE(protocol.getFeatureSupported(Protocol::ExtendedPacketId));
    protocol.setFeatureSupported(Protocol::IRLEDToggleSensorSetting, false);
    EXPECT_FALSE(protocol.getFeatureSupported(Protocol::IRLEDToggleSensorSetting));
    EXPECT_EQ(protocol.getFeatureMap().size(), 2u);

    const Protocol copy = protocol;
    protocol.setFeatureMap({{Protocol::FilterWheelErrorCodes, true}});
    EXPECT_EQ(protocol.getFeatureMap().size(), 1u);
    EXPECT_TRUE(protocol.getFeatureSupported(Protocol::FilterWheelErrorCodes));
    EXPECT_FALSE(protocol.getFeatureSupported(Protocol::ExtendedPacketId));
    EXPECT_TRUE(copy.getFeatureSupported(Protocol::ExtendedPacketId));
}

TEST(ProtocolRevision, IsIMXPlatformOnlyFor455And461)
{
    for (int value = 0; value <= 255; ++value) {
        const auto model = static_cast<ICamera::Model>(value);
        EXPECT_EQ(kv::isIMXPlatform(model), value == 9 || value == 11) << value;
    }
    EXPECT_FALSE(kv::isIMXPlatform(ICamera::BrisaBC2020));
    EXPECT_TRUE(kv::isIMXPlatform(ICamera::BrisaBC455));
    EXPECT_TRUE(kv::isIMXPlatform(ICamera::BrisaBC461));
}
