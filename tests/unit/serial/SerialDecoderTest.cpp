#include "KVSerialNumbers/SerialNumbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

enum class Format { V1, V2 };

bool hasFormat(const ISerialDecoder& decoder, Format format)
{
    return format == Format::V1 ? dynamic_cast<const V1SerialDecoder*>(&decoder) != nullptr
                                : dynamic_cast<const V2SerialDecoder*>(&decoder) != nullptr;
}

// A number goes to text and back, and the text to the same number and text.
TEST(SerialDecoder, NumbersRoundTripThroughText)
{
    struct Case {
        ICamera::Model camera;
        ISensor::Model sensor;
        size_t number;
        Format format;
        const char* text;
    };
    const std::vector<Case> cases{
        {ICamera::Brisa, ISensor::ICX694, 808386602u, Format::V1, "BR694M-24011542"},
        {ICamera::BrisaCMOS, ISensor::GSENSE4040, 8081415u, Format::V2, "BC4040C-000123-07"},
        {ICamera::BrisaBC455, ISensor::IMX455, 0x007B1007u, Format::V2, "BC455M-000123-07"},
        // Year 99: bit 31 set, the number stays a 32-bit value.
        {ICamera::BrisaCMOS, ISensor::GSENSE4040BSI,
         (99u << 25) | (12u << 21) | (31u << 16) | (2u << 14) | 4095u, Format::V1,
         "BC4040BS-9912314095"},
        {ICamera::MTC, ISensor::IMX428_7, (24u << 25) | (1u << 21) | (15u << 16) | (1u << 14) | 1u,
         Format::V1, "MTC7C-24011501"},
        {ICamera::VireoE, ISensor::P1300, 0, Format::V1, "VRE1300M-00000000"},
        {ICamera::VireoC, ISensor::IMX290, 0xFFFFBFFFu & ~0x2000u, Format::V2,
         "VRC290S-065535-4095"},
        {ICamera::Brisa, ISensor::RESERVED8, 0x1000u, Format::V2, "BR04070M-000000-00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto fromNumber = SerialDecoderFactory::create(c.camera, c.sensor, c.number);
        ASSERT_NE(fromNumber, nullptr);
        EXPECT_TRUE(hasFormat(*fromNumber, c.format));
        EXPECT_EQ(fromNumber->to_string(), c.text);
        EXPECT_EQ(static_cast<std::string>(*fromNumber), c.text);
        EXPECT_EQ(static_cast<size_t>(*fromNumber), c.number);

        const auto fromText = SerialDecoderFactory::create(std::string(c.text));
        ASSERT_NE(fromText, nullptr);
        EXPECT_TRUE(hasFormat(*fromText, c.format));
        EXPECT_EQ(static_cast<size_t>(*fromText), c.number);
        EXPECT_EQ(fromText->to_string(), c.text);
    }
}

TEST(SerialDecoder, V1FieldsFromText)
{
    struct Case {
        const char* text;
        ICamera::Model camera;
        ISensor::Model sensor;
        ColorCodes color;
        std::int32_t year, month, day, index;
        size_t number;
        const char* normalised;
    };
    const std::vector<Case> cases{
        {"BR694M-24011542", ICamera::Brisa, ISensor::ICX694, ColorCodes::Mono, 24, 1, 15, 42,
         808386602u, "BR694M-24011542"},
        {"MTC7C-24011501", ICamera::MTC, ISensor::IMX428_7, ColorCodes::Color, 24, 1, 15, 1,
         (24u << 25) | (1u << 21) | (15u << 16) | (1u << 14) | 1u, "MTC7C-24011501"},
        {"BC4040BM-24011501", ICamera::BrisaCMOS, ISensor::GSENSE4040BSI, ColorCodes::Mono, 24, 1,
         15, 1, (24u << 25) | (1u << 21) | (15u << 16) | 1u, "BC4040BM-24011501"},
        // The index is written with at least two digits; extra leading zeros go.
        {"BR694S-2401150000042", ICamera::Brisa, ISensor::ICX694, ColorCodes::SparseColor, 24, 1,
         15, 42, 808386602u | (2u << 14), "BR694S-24011542"},
        {"BR694M-2401153", ICamera::Brisa, ISensor::ICX694, ColorCodes::Mono, 24, 1, 15, 3,
         808386602u - 42u + 3u, "BR694M-24011503"},
        // Unknown code and sensor: the camera line defaults to Brisa, the sensor is invalid.
        {"XY123M-24011542", ICamera::Brisa, ISensor::InvalidSensorModel, ColorCodes::Mono, 24, 1,
         15, 42, 808386602u, "BR???M-24011542"},
        // Month 13 to 15 still fit their four bits and keep their value.
        {"BR694M-24150142", ICamera::Brisa, ISensor::ICX694, ColorCodes::Mono, 24, 15, 1, 42,
         (24u << 25) | (15u << 21) | (1u << 16) | 42u, "BR694M-24150142"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto decoder = SerialDecoderFactory::create(std::string(c.text));
        ASSERT_NE(decoder, nullptr);
        const auto* v1 = dynamic_cast<const V1SerialDecoder*>(decoder.get());
        ASSERT_NE(v1, nullptr);
        EXPECT_EQ(v1->getCameraModel(), c.camera);
        EXPECT_EQ(v1->getSensorModel(), c.sensor);
        EXPECT_EQ(v1->getColor(), c.color);
        EXPECT_EQ(v1->getYear(), c.year);
        EXPECT_EQ(v1->getMonth(), c.month);
        EXPECT_EQ(v1->getDay(), c.day);
        EXPECT_EQ(v1->getIndex(), c.index);
        EXPECT_EQ(static_cast<size_t>(*decoder), c.number);
        EXPECT_EQ(decoder->to_string(), c.normalised);
    }
}

TEST(SerialDecoder, V2FieldsFromText)
{
    struct Case {
        const char* text;
        ICamera::Model camera;
        ISensor::Model sensor;
        ColorCodes color;
        std::int32_t production, index;
        size_t number;
    };
    const std::vector<Case> cases{
        {"BC455M-000123-07", ICamera::BrisaBC455, ISensor::IMX455, ColorCodes::Mono, 123, 7,
         0x007B1007u},
        {"BC4040C-000123-07", ICamera::BrisaCMOS, ISensor::GSENSE4040, ColorCodes::Color, 123, 7,
         8081415u},
        {"BC461S-065535-4095", ICamera::BrisaBC461, ISensor::IMX461, ColorCodes::SparseColor, 65535,
         4095, 0xFFFFBFFFu & ~0x2000u},
        {"VR1300M-000001-0", ICamera::Vireo, ISensor::P1300, ColorCodes::Mono, 1, 0, 0x11000u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto decoder = SerialDecoderFactory::create(std::string(c.text));
        ASSERT_NE(decoder, nullptr);
        const auto* v2 = dynamic_cast<const V2SerialDecoder*>(decoder.get());
        ASSERT_NE(v2, nullptr);
        EXPECT_EQ(v2->getCameraModel(), c.camera);
        EXPECT_EQ(v2->getSensorModel(), c.sensor);
        EXPECT_EQ(v2->getColor(), c.color);
        EXPECT_EQ(v2->getProductionNumber(), c.production);
        EXPECT_EQ(v2->getIndex(), c.index);
        EXPECT_EQ(static_cast<size_t>(*decoder), c.number);
    }
}

TEST(SerialDecoder, FormatChosenByBits12And13)
{
    struct Case {
        size_t number;
        bool v1;
        bool v2;
    };
    const std::vector<Case> cases{
        {0x0000u, true, false},      {0x1000u, false, true},
        {0x2000u, false, false},     {0x3000u, false, false},
        {808386602u, true, false},   {808386602u | 0x2000u, false, false},
        {0xFFFFCFFFu, true, false},  {0xFFFFFFFFu, false, false},
        // Wider than 32 bits: no serial number, even with clear format bits, and
        // also the old sign-widened form of a year of 64 or more.
        {size_t{1} << 32, false, false},
        {0xFFFFFFFFC6000000u, false, false},
        {std::numeric_limits<size_t>::max(), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const auto decoder = SerialDecoderFactory::create(ICamera::Brisa, ISensor::ICX694, c.number);
        EXPECT_EQ(decoder != nullptr, c.v1 || c.v2);
        if (decoder) {
            EXPECT_TRUE(hasFormat(*decoder, c.v1 ? Format::V1 : Format::V2));
            EXPECT_EQ(static_cast<size_t>(*decoder), c.number);
        }
        // isFormat looks at the argument only, whatever the decoder holds.
        const V1SerialDecoder v1(ICamera::Brisa, ISensor::ICX694, 0x1000u);
        const V2SerialDecoder v2(ICamera::Brisa, ISensor::ICX694, 0u);
        const ISerialDecoder& asV1 = v1;
        const ISerialDecoder& asV2 = v2;
        EXPECT_EQ(asV1.isFormat(c.number), c.v1);
        EXPECT_EQ(asV2.isFormat(c.number), c.v2);
    }
}

// Any 32-bit number of either format decodes and encodes back to itself, with
// models the tables do not know.
TEST(SerialDecoder, EveryFieldValueRoundTrips)
{
    const auto camera = static_cast<ICamera::Model>(200);
    const auto sensor = static_cast<ISensor::Model>(70000);
    for (std::uint32_t high = 0; high < 0x10000u; high += 0x3F7u) {
        for (std::uint32_t low : {0x0000u, 0x1000u, 0x0FFFu, 0x1FFFu, 0xC000u, 0xDABCu, 0x4FFFu}) {
            const std::uint32_t number = (high << 16) | low;
            const auto decoder = SerialDecoderFactory::create(camera, sensor, number);
            ASSERT_NE(decoder, nullptr) << number;
            EXPECT_EQ(static_cast<size_t>(*decoder), number);
            EXPECT_EQ(decoder->to_string().substr(0, 5), "?????") << number;
        }
    }
}

TEST(SerialDecoder, TextsOfNeitherFormatAreRefused)
{
    const std::vector<std::string> texts{
        "",
        "-",
        "BR694M24011542",           // no "-"
        "BR694M-24011",             // five-digit date part
        "BR694M-240115",            // date without index
        "BR694M-24011542 ",
        " BR694M-24011542",
        "BR694M--24011542",
        "BR694M-2401-1542",
        "BR694M-24011542-",
        "BC4040C-000123-",
        "BC4040C-00123-07",         // five-digit production number
        "BC4040C-0000123-07",
        "BC4040C-000123-07-1",
        "BR694M-2401x542",
        "BR69\xC3\x89M-24011542",
        std::string("BR694M-2401\0" "1542", 16),
        "BR-24011542",
        "M-24011542",
        // Matches a pattern, but the numeric form would name another serial.
        "BR694X-24011542",          // colour letter
        "BR6944-24011542",          // colour letter read as "4"
        "BR694_-24011542",
        "1234M-24011542",           // no camera-line code: no colour either
        "BR694M-2401154096",        // index above 4095
        "BR694M-24011599999999999999999999999",
        "BR694M-24321542",          // day 32
        "BR694M-24161542",          // month 16
        "BC4040C-065536-07",        // production number above 65535
        "BC4040C-999999-07",
        "BC4040C-000123-4096",
        "BC4040C-000123-99999999999999999999",
        "BC4040X-000123-07",
    };
    for (const auto& text : texts) {
        EXPECT_EQ(SerialDecoderFactory::create(text), nullptr) << text;
    }
}

TEST(SerialDecoder, TextPatternsOfDecoders)
{
    struct Case {
        const char* text;
        bool v1;
        bool v2;
    };
    const std::vector<Case> cases{
        {"BR694M-24011542", true, false},    {"BC4040C-000123-07", false, true},
        {"A1BC-1234567", true, false},       {"A12B-123456-0", false, true},
        {"BR694M-2401154", true, false},     {"BR694M-240115", false, false},
        {"BR694X-24011542", true, false},    {"1234M-24011542", true, false},
        {"AB-1234567", false, false},        {"A1-1234567", false, false},
        {"", false, false},
    };
    // Fields of the decoders do not matter.
    const V1SerialDecoder v1(std::string("BC4040C-000123-07"));
    const V2SerialDecoder v2(std::string("BR694M-24011542"));
    for (const auto& c : cases) {
        EXPECT_EQ(v1.isFormat(std::string(c.text)), c.v1) << c.text;
        EXPECT_EQ(v2.isFormat(std::string(c.text)), c.v2) << c.text;
    }
}

TEST(SerialDecoder, DecoderMadeFromUnreadableTextKeepsDefaults)
{
    const V1SerialDecoder v1(std::string("no serial here"));
    EXPECT_EQ(v1.getCameraModel(), ICamera::Brisa);
    EXPECT_EQ(v1.getSensorModel(), ISensor::RESERVED1);
    EXPECT_EQ(v1.getColor(), ColorCodes::InvalidColorCode);
    EXPECT_EQ(v1.getYear() | v1.getMonth() | v1.getDay() | v1.getIndex(), 0);
    EXPECT_FALSE(v1.fitsNumericForm());
    // An invalid colour cannot reach the date bits or the format bits.
    EXPECT_EQ(static_cast<size_t>(v1), 3u << 14);

    const V2SerialDecoder v2(std::string("BC4040C-999999-99999"));
    EXPECT_FALSE(v2.fitsNumericForm());
    EXPECT_EQ(static_cast<size_t>(v2) & 0x3000u, 0x1000u);
    EXPECT_LE(static_cast<size_t>(v2), 0xFFFFFFFFu);
}

TEST(SerialDecoder, CameraDescriptorFromText)
{
    struct Case {
        const char* text;
        bool found;
        ICamera::Model camera;
        ISensor::Model sensor;
    };
    const std::vector<Case> cases{
        {"BR694M-24011542", true, ICamera::Brisa, ISensor::ICX694},
        {"BC4040BM-24011501", true, ICamera::BrisaCMOS, ISensor::GSENSE4040BSI},
        {"BC4040C-000123-07", true, ICamera::BrisaCMOS, ISensor::GSENSE4040},
        {"MTC7S-", true, ICamera::MTC, ISensor::IMX428_7},
        {"VRE1300M-anything at all", true, ICamera::VireoE, ISensor::P1300},
        {"BR694X-24011542", false, ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"XX1M-24011542", false, ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {" BR694M-24011542", false, ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"BR694M", false, ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"M-", false, ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
        {"", false, ICamera::InvalidCameraModel, ISensor::InvalidSensorModel},
    };
    for (const auto& c : cases) {
        ICamera::Model camera = ICamera::VireoC;
        ISensor::Model sensor = ISensor::IMX290;
        EXPECT_EQ(ISerialDecoder::getCameraDescriptor(c.text, camera, sensor), c.found) << c.text;
        EXPECT_EQ(camera, c.camera) << c.text;
        EXPECT_EQ(sensor, c.sensor) << c.text;
    }
}

// A serial text of any length is scanned in one pass and never overflows.
TEST(SerialDecoder, LongTextsAreHandled)
{
    const std::string digits(1 << 20, '7');
    const std::string letters(1 << 20, 'B');
    struct Case {
        std::string text;
        bool decoded;
    };
    const std::vector<Case> cases{
        {digits, false},
        {letters, false},
        {"BR694M-" + digits, false},
        {"BC4040C-000123-" + digits, false},
        {"BR694M-24011542" + letters, false},
        // The code is the last two or three letters before the sensor digits:
        // "BBB", an unknown line, read as Brisa.
        {letters + "694M-24011542", true},
        // An unknown sensor part of any length.
        {"BR" + digits + "M-24011542", true},
        // Leading zeros do not make an index too large.
        {"BR694M-240115" + std::string(100000, '0') + "42", true},
    };
    for (const auto& c : cases) {
        const auto decoder = SerialDecoderFactory::create(c.text);
        EXPECT_EQ(decoder != nullptr, c.decoded) << c.text.substr(0, 40);
        if (decoder) {
            EXPECT_EQ(static_cast<size_t>(*decoder), 808386602u);
        }
    }
}

} // namespace
} // namespace kv
