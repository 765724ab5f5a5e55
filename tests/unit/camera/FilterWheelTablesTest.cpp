#include "camera/AO.h"
#include "camera/Capabilities.h"
#include "camera/FW.h"

#include <gtest/gtest.h>

#include <string>

using namespace kv;

TEST(FilterWheelTables, HardwareIdGivesModelSlotsAndName)
{
    struct Case {
        uint8_t id;
        IFW::Model model;
        uint32_t slots;
        const char* name;
    };
    const Case cases[] = {
        {0, IFW::TWL, 8, "TW-L"},
        {7, IFW::TWL, 8, "TW-L"},
        {8, IFW::UnknownFWModel, 0, "Unknown FW"},
        {16, IFW::TW10, 10, "TW-10"},
        {31, IFW::TW9, 5, "TW-9"},
        {39, IFW::TWL8, 8, "TW-8"},
        {40, IFW::UnknownFWModel, 0, "Unknown FW"},
        {48, IFW::FW5_MX, 5, "FW5-MX"},
        {63, IFW::FW7_MX, 7, "FW7-MX"},
        {64, IFW::FW5_8300, 5, "FW5-8300"},
        {65, IFW::FW8_8300, 8, "FW8-8300"},
        {66, IFW::FW5_8300, 5, "FW5-8300"},
        {128, IFW::Internal, 8, "Internal FW"},
        {135, IFW::Internal, 8, "Internal FW"},
        {136, IFW::BFW16, 16, "BFW-16"},
        {140, IFW::BFW12, 12, "BFW-12"},
        {150, IFW::BFW2, 2, "BFW-2"},
        {151, IFW::UnknownFWModel, 0, "Unknown FW"},
        {184, IFW::FW8_MT, 8, "FW8-MT"},
        {186, IFW::FW8_MT, 8, "FW8-MT"},
        {187, IFW::FW5_MF_DETENT, 5, "FW5-MF (Detent)"},
        {191, IFW::FW8_MT, 8, "FW8-MT"},
        {255, IFW::UnknownFWModel, 0, "Unknown FW"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "hardware id " << int(c.id));
        const IFW::Model model = FW::getAPIModelID(c.id);
        EXPECT_EQ(model, c.model);
        EXPECT_EQ(FW::getModelSlots(model), c.slots);
        EXPECT_STREQ(FW::getModelDisplayName(model), c.name);
    }
}

TEST(FilterWheelTables, SlotsOfModelsNoHardwareIdNames)
{
    struct Case {
        IFW::Model model;
        uint32_t slots;
    };
    const Case cases[] = {
        {IFW::TW2, 0},     {IFW::TW5, 5},      {IFW::TW8, 5},          {IFW::TW402, 4},
        {IFW::TW6A, 6},    {IFW::TW10_SERIAL, 10}, {IFW::TWL8G, 8},    {IFW::TW1603, 0},
        {IFW::InvalidFWModel, 0}, {static_cast<IFW::Model>(99), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FW::getModelSlots(c.model), c.slots) << "model " << c.model;
        EXPECT_STREQ(FW::getModelDisplayName(c.model), "Unknown FW") << "model " << c.model;
    }
}

TEST(AdaptiveOpticsTTX, PositionsAreScaledAboutTheCentreAndClamped)
{
    struct Case {
        uint16_t in;
        uint16_t out;
    };
    const Case cases[] = {
        {4095, 2303}, {0, 1792}, {2048, 2048}, {2056, 2049}, {2047, 2048}, // (2047-2048)/8 truncates to 0
        {2040, 2047}, {65535, 2304}, {32768, 2304},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AO::toTTX(c.in), c.out) << "position " << c.in;
    }
}

TEST(CameraCapabilities, DefaultTablesCoverEveryHardwareCapability)
{
    struct Case {
        ICamera::Model model;
        size_t supported; // how many are true
        ICamera::Capability sample;
        bool sampleValue;
    };
    const Case cases[] = {
        {ICamera::Brisa, 14, ICamera::eSupportsWiFi, true},
        {ICamera::BrisaPro, 11, ICamera::eSupportsFibreXferProtocol, true},
        {ICamera::BrisaCMOS, 13, ICamera::eSupportsAdjustableGain, true},
        {ICamera::BrisaBC2020, 13, ICamera::eSupportsGuidePort, false},
        {ICamera::Vireo, 4, ICamera::eSupportsSensorGainOffset, true},
        {ICamera::VireoE, 4, ICamera::eSupportsCooler, false},
        {ICamera::MTC, 10, ICamera::eSupportsDefogHeater, true},
        {ICamera::VireoC, 3, ICamera::eSupportsGuidePort, true},
        {ICamera::BrisaBC455, 3, ICamera::eSupportsShutter, true},
        {ICamera::BrisaBC461, 3, ICamera::eSupportsPeripheralInfo, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "model " << c.model);
        const auto found = Capabilities::c_defaultCapabilities.find(c.model);
        ASSERT_NE(found, Capabilities::c_defaultCapabilities.end());
        ASSERT_EQ(found->second.size(), size_t(ICamera::CameraCapabilityCount));
        size_t supported = 0;
        for (const auto& entry : found->second) {
            supported += entry.second ? 1 : 0;
        }
        EXPECT_EQ(supported, c.supported);
        EXPECT_EQ(found->second.at(c.sample), c.sampleValue);
    }
    EXPECT_EQ(Capabilities::c_defaultCapabilities.count(ICamera::Reserved2), 0u);
    EXPECT_EQ(Capabilities::c_defaultCapabilities.count(ICamera::Reserved9), 0u);
    EXPECT_EQ(Capabilities::c_minFWCapabilityQueries, 18u);
}
