#include "KVSerialNumbers/SerialNumbers.h"
#include "KVSerialNumbers/SerialTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kv {
namespace {

TEST(SerialNames, CameraModelCodes)
{
    struct Case {
        unsigned model;
        const char* code;
    };
    const std::vector<Case> cases{
        {ICamera::Brisa, "BR"},       {ICamera::BrisaPro, "BP"},   {ICamera::BrisaCMOS, "BC"},
        {ICamera::Vireo, "VR"},       {ICamera::MTC, "MTC"},       {ICamera::BrisaBC2020, "BC"},
        {ICamera::VireoE, "VRE"},     {ICamera::VireoC, "VRC"},    {ICamera::BrisaBC455, "BC"},
        {ICamera::Reserved9, "BC"},   {ICamera::BrisaBC461, "BC"}, {12, "??"},
        {ICamera::InvalidCameraModel, "??"}, {0xFFFFFFFFu, "??"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetCameraModelName(static_cast<ICamera::Model>(c.model)), c.code) << c.model;
    }
}

TEST(SerialNames, Reserved2CodeIsItsOwn)
{
    const std::string code = GetCameraModelName(ICamera::Reserved2);
    ASSERT_GE(code.size(), 2u);
    ASSERT_LE(code.size(), 3u);
    for (char ch : code) {
        EXPECT_TRUE((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z')) << code;
    }
    for (unsigned model = 0; model < 256; ++model) {
        if (model != ICamera::Reserved2) {
            EXPECT_NE(GetCameraModelName(static_cast<ICamera::Model>(model)), code) << model;
        }
    }
    EXPECT_EQ(CameraModelFromString(code, "694"), ICamera::Reserved2);
}

TEST(SerialNames, CameraModelFromCodeAndSensor)
{
    struct Case {
        const char* code;
        const char* sensor;
        ICamera::Model model;
    };
    const std::vector<Case> cases{
        {"BR", "694", ICamera::Brisa},        {"BP", "", ICamera::BrisaPro},
        {"VR", "1300", ICamera::Vireo},       {"MTC", "7", ICamera::MTC},
        {"VRE", "1300", ICamera::VireoE},     {"VRC", "290", ICamera::VireoC},
        {"BC", "4040", ICamera::BrisaCMOS},   {"BC", "4040B", ICamera::BrisaCMOS},
        {"BC", "2020", ICamera::BrisaBC2020}, {"BC", "455", ICamera::BrisaBC455},
        {"BC", "461", ICamera::BrisaBC461},   {"BC", "9999", ICamera::BrisaCMOS},
        {"BC", "", ICamera::BrisaCMOS},       {"XY", "461", ICamera::Brisa},
        {"bc", "461", ICamera::Brisa},        {"", "", ICamera::Brisa},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CameraModelFromString(c.code, c.sensor), c.model) << c.code << " " << c.sensor;
    }
}

TEST(SerialNames, SensorModelFromText)
{
    struct Case {
        const char* text;
        ISensor::Model model;
    };
    const std::vector<Case> cases{
        {"694", ISensor::ICX694},       {"814", ISensor::ICX814},
        {"8300", ISensor::KAF8300},     {"0340", ISensor::RESERVED1},
        {"4710", ISensor::CCD4710},     {"7700", ISensor::CCD7700},
        {"0402", ISensor::RESERVED5},   {"1603", ISensor::RESERVED6},
        {"3200", ISensor::KAF3200},     {"08050", ISensor::RESERVED7},
        {"04070", ISensor::RESERVED8},  {"4040", ISensor::GSENSE4040},
        {"4040B", ISensor::GSENSE4040BSI}, {"2020", ISensor::GSENSE2020},
        {"1300", ISensor::P1300},       {"428", ISensor::IMX428},
        {"7", ISensor::IMX428_7},       {"290", ISensor::IMX290},
        {"455", ISensor::IMX455},       {"461", ISensor::IMX461},
        {"", ISensor::InvalidSensorModel},      {"69", ISensor::InvalidSensorModel},
        {"6940", ISensor::InvalidSensorModel},  {"4040b", ISensor::InvalidSensorModel},
        {"340", ISensor::InvalidSensorModel},   {" 694", ISensor::InvalidSensorModel},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SensorModelFromString(c.text), c.model) << c.text;
    }
}

TEST(SerialNames, SensorNames)
{
    struct Case {
        ICamera::Model camera;
        ISensor::Model sensor;
        const char* name;
    };
    const std::vector<Case> cases{
        {ICamera::Brisa, ISensor::ICX694, "694"},       {ICamera::Brisa, ISensor::ICX814, "814"},
        {ICamera::Brisa, ISensor::KAF8300, "8300"},     {ICamera::Brisa, ISensor::RESERVED1, "0340"},
        {ICamera::Brisa, ISensor::CCD4710, "4710"},     {ICamera::Brisa, ISensor::CCD7700, "7700"},
        {ICamera::Brisa, ISensor::RESERVED5, "0402"},   {ICamera::Brisa, ISensor::RESERVED6, "1603"},
        {ICamera::Brisa, ISensor::KAF3200, "3200"},     {ICamera::Brisa, ISensor::RESERVED7, "08050"},
        {ICamera::Brisa, ISensor::RESERVED8, "04070"},
        {ICamera::BrisaCMOS, ISensor::GSENSE4040, "4040"},
        {ICamera::BrisaCMOS, ISensor::GSENSE4040BSI, "4040B"},
        {ICamera::BrisaBC2020, ISensor::GSENSE2020, "2020"},
        {ICamera::Vireo, ISensor::P1300, "1300"},       {ICamera::VireoE, ISensor::P1300, "1300"},
        {ICamera::MTC, ISensor::IMX428, "428"},         {ICamera::MTC, ISensor::IMX428_7, "7"},
        {ICamera::VireoC, ISensor::IMX290, "290"},      {ICamera::BrisaBC455, ISensor::IMX455, "455"},
        {ICamera::BrisaBC461, ISensor::IMX461, "461"},
        // Pairs the cameras never combine.
        {ICamera::Brisa, ISensor::GSENSE4040, "???"},   {ICamera::BrisaCMOS, ISensor::ICX694, "???"},
        {ICamera::Brisa, ISensor::RESERVED2, "???"},    {ICamera::VireoC, ISensor::P1300, "???"},
        {ICamera::BrisaBC461, ISensor::IMX455, "???"},  {ICamera::Reserved2, ISensor::RESERVEDC1, "???"},
        {ICamera::InvalidCameraModel, ISensor::InvalidSensorModel, "???"},
        {static_cast<ICamera::Model>(1000), static_cast<ISensor::Model>(70000), "???"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetSensorName(c.camera, c.sensor), c.name) << c.camera << " " << c.sensor;
    }
}

// Every name a camera writes into its serial text must read back as the same
// camera and sensor.
TEST(SerialNames, SensorNamesReadBack)
{
    for (const auto& entry : serialtables::names()) {
        const auto camera = entry.first.first;
        const auto sensor = entry.first.second;
        EXPECT_EQ(SensorModelFromString(entry.second), sensor) << entry.second;
        EXPECT_EQ(CameraModelFromString(GetCameraModelName(camera), entry.second), camera)
            << entry.second;
    }
}

TEST(SerialNames, SensorIdentifiers)
{
    struct Case {
        ICamera::Model camera;
        unsigned id;
        ISensor::Model sensor;
    };
    const std::vector<Case> cases{
        {ICamera::Brisa, 0, ISensor::RESERVED1},     {ICamera::Brisa, 1, ISensor::RESERVED2},
        {ICamera::Brisa, 2, ISensor::ICX694},        {ICamera::Brisa, 3, ISensor::ICX814},
        {ICamera::Brisa, 4, ISensor::CCD4710},       {ICamera::Brisa, 5, ISensor::CCD7700},
        {ICamera::Brisa, 6, ISensor::RESERVED3},     {ICamera::Brisa, 7, ISensor::RESERVED4},
        {ICamera::Brisa, 8, ISensor::RESERVED6},     {ICamera::Brisa, 9, ISensor::RESERVED5},
        {ICamera::Brisa, 10, ISensor::KAF3200},      {ICamera::Brisa, 11, ISensor::KAF8300},
        {ICamera::Brisa, 16, ISensor::RESERVED7},    {ICamera::Brisa, 17, ISensor::RESERVED8},
        {ICamera::BrisaPro, 0, ISensor::RESERVEDB1}, {ICamera::Reserved2, 0, ISensor::RESERVEDC1},
        {ICamera::BrisaCMOS, 0, ISensor::GSENSE4040},
        {ICamera::BrisaCMOS, 1, ISensor::GSENSE4040BSI},
        {ICamera::BrisaBC2020, 0, ISensor::GSENSE2020},
        {ICamera::Vireo, 0, ISensor::P1300},         {ICamera::VireoE, 0, ISensor::P1300},
        {ICamera::MTC, 0, ISensor::IMX428_7},        {ICamera::MTC, 1, ISensor::IMX428},
        {ICamera::VireoC, 0, ISensor::IMX290},       {ICamera::BrisaBC455, 4, ISensor::IMX455},
        {ICamera::BrisaBC461, 5, ISensor::IMX461},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetSensorModel(c.camera, static_cast<unsigned char>(c.id)), c.sensor)
            << c.camera << " " << c.id;
    }
    // Every other pair, over all identifiers and a few models outside the list.
    std::set<std::pair<unsigned, unsigned>> listed;
    for (const auto& c : cases) {
        listed.insert({c.camera, c.id});
    }
    for (unsigned camera : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 255u, 70000u}) {
        for (unsigned id = 0; id < 256; ++id) {
            if (listed.count({camera, id}) == 0) {
                EXPECT_EQ(GetSensorModel(static_cast<ICamera::Model>(camera),
                                         static_cast<unsigned char>(id)),
                          ISensor::InvalidSensorModel)
                    << camera << " " << id;
            }
        }
    }
}

TEST(SerialNames, ColorCodes)
{
    struct Case {
        std::int32_t color;
        const char* letter;
    };
    const std::vector<Case> letters{
        {0, "M"}, {1, "C"}, {2, "S"}, {3, "?"}, {255, "?"}, {-1, "?"},
    };
    for (const auto& c : letters) {
        EXPECT_EQ(GetColorCode(static_cast<ColorCodes>(c.color)), c.letter) << c.color;
    }
    const std::vector<Case> texts{
        {0, "M"}, {1, "C"}, {2, "S"}, {255, "m"}, {255, ""}, {255, "MM"},
        {255, "MC"}, {255, "?"}, {255, "X"},
    };
    for (const auto& c : texts) {
        EXPECT_EQ(static_cast<std::int32_t>(ColorCodeFromString(c.letter)), c.color) << c.letter;
    }
    EXPECT_EQ(ColorCodeFromString(std::string("M\0", 2)), ColorCodes::InvalidColorCode);
}

TEST(SerialNames, CameraDescriptors)
{
    struct Case {
        const char* code;
        ICamera::Model camera;
        ISensor::Model sensor;
    };
    const std::vector<Case> cases{
        {"BR694", ICamera::Brisa, ISensor::ICX694},      {"BR814", ICamera::Brisa, ISensor::ICX814},
        {"BR8300", ICamera::Brisa, ISensor::KAF8300},    {"BR0340", ICamera::Brisa, ISensor::RESERVED1},
        {"BR4710", ICamera::Brisa, ISensor::CCD4710},    {"BR7700", ICamera::Brisa, ISensor::CCD7700},
        {"BR0402", ICamera::Brisa, ISensor::RESERVED5},  {"BR1603", ICamera::Brisa, ISensor::RESERVED6},
        {"BR3200", ICamera::Brisa, ISensor::KAF3200},    {"BR08050", ICamera::Brisa, ISensor::RESERVED7},
        {"BR04070", ICamera::Brisa, ISensor::RESERVED8}, {"VR1300", ICamera::Vireo, ISensor::P1300},
        {"VRE1300", ICamera::VireoE, ISensor::P1300},    {"VRC290", ICamera::VireoC, ISensor::IMX290},
        {"MTC428", ICamera::MTC, ISensor::IMX428},       {"MTC7", ICamera::MTC, ISensor::IMX428_7},
        {"BC2020", ICamera::BrisaBC2020, ISensor::GSENSE2020},
        {"BC4040", ICamera::BrisaCMOS, ISensor::GSENSE4040},
        {"BC4040B", ICamera::BrisaCMOS, ISensor::GSENSE4040BSI},
        {"BC455", ICamera::BrisaBC455, ISensor::IMX455}, {"BC461", ICamera::BrisaBC461, ISensor::IMX461},
        {"", ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"BR", ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"br694", ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"BR694M", ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"BC4040b", ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
    };
    for (const auto& c : cases) {
        const auto descriptor = GetCameraDescriptor(c.code);
        EXPECT_EQ(descriptor.first, c.camera) << c.code;
        EXPECT_EQ(descriptor.second, c.sensor) << c.code;
    }
    // A model code is the camera-line code followed by the sensor name.
    for (const auto& entry : serialtables::DescriptorMap()) {
        const auto& pair = entry.second;
        EXPECT_EQ(GetCameraModelName(pair.first) + GetSensorName(pair.first, pair.second),
                  entry.first);
    }
}

TEST(SerialNames, FactorySerialWordFromParts)
{
    struct Case {
        std::uint32_t color;
        std::uint32_t date;
        std::uint32_t index;
        std::uint32_t word;
    };
    const std::vector<Case> cases{
        {0, 20240115, 42, 808386602u},                      // BR694M-24011542
        {2, 20991231, 4095, (99u << 25) | (12u << 21) | (31u << 16) | (2u << 14) | 4095u},
        {0, 0, 0, 0},
        // Out-of-range parts are cut to their fields and never reach the format bits.
        {7, 20240115, 0x1FFFF, 808386602u - 42u + (3u << 14) + 0xFFFu},
        {0, 20249999, 0, (24u << 25) | ((99u & 15u) << 21) | ((99u & 31u) << 16)},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
         (96u << 25) | (8u << 21) | (31u << 16) | (3u << 14) | 0xFFFu},
    };
    for (const auto& c : cases) {
        const std::uint32_t word = MakeV1SerialNumber(c.color, c.date, c.index);
        EXPECT_EQ(word, c.word) << c.date;
        EXPECT_EQ(word & 0x3000u, 0u);
    }
}

} // namespace
} // namespace kv
