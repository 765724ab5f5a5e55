#include "KVSerialNumbers/SerialText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace kv {
namespace {

TEST(SerialText, ParseModelInfoSplitsText)
{
    struct Case {
        const char* text;
        bool found;
        const char* code;
        const char* sensor;
        const char* colour;
        size_t position;
    };
    const std::vector<Case> cases{
        {"BR694M-24011542", true, "BR", "694", "M", 7},
        {"MTC7C-24011501", true, "MTC", "7", "C", 6},
        {"BC4040BM-24011501", true, "BC", "4040B", "M", 9},
        {"BC4040C-000123-07", true, "BC", "4040", "C", 8},
        {"VRE1300S-1", true, "VRE", "1300", "S", 9},
        // Not anchored: the first place where the pattern fits.
        {"xBR694M-1", true, "xBR", "694", "M", 8},
        {"12 AB1C-", true, "AB", "1", "C", 8},
        {"BR694-2", true, "BR", "69", "4", 6},
        {"BR6-BC4040M-", true, "BC", "4040", "M", 12},
        {"ABCD12_Z-", true, "BCD", "12_", "Z", 9},
        {"B694M-24011542", false, "", "", "", 0},
        {"BR694M", false, "", "", "", 0},
        {"BR694M -1", false, "", "", "", 0},
        {"BRM-1", false, "", "", "", 0},
        {"", false, "", "", "", 0},
    };
    for (const auto& c : cases) {
        std::string code = "unchanged";
        std::string sensor = "unchanged";
        std::string colour = "unchanged";
        size_t position = 12345;
        EXPECT_EQ(ParseModelInfo(c.text, code, sensor, colour, position), c.found) << c.text;
        if (c.found) {
            EXPECT_EQ(code, c.code) << c.text;
            EXPECT_EQ(sensor, c.sensor) << c.text;
            EXPECT_EQ(colour, c.colour) << c.text;
            EXPECT_EQ(position, c.position) << c.text;
        } else {
            EXPECT_EQ(code + sensor + colour, "unchangedunchangedunchanged") << c.text;
            EXPECT_EQ(position, 12345u) << c.text;
        }
    }
}

TEST(SerialText, DecimalSaturates)
{
    struct Case {
        const char* digits;
        std::int32_t value;
    };
    const std::vector<Case> cases{
        {"", 0}, {"0", 0}, {"0042", 42}, {"2147483647", 2147483647},
        {"2147483648", 2147483647}, {"99999999999999999999", 2147483647},
        {"0000000000000000000000001", 1},
    };
    for (const auto& c : cases) {
        const std::string text = c.digits;
        EXPECT_EQ(serialtext::parseDecimal(text.data(), text.data() + text.size()), c.value)
            << c.digits;
    }
}

// Decimal value of a group, saturated as the scans do.
std::int32_t saturated(const std::string& digits)
{
    const size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        return 0;
    }
    if (digits.size() - first > 10) {
        return INT32_MAX;
    }
    const long long value = std::stoll(digits.substr(first));
    return value > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(value);
}

// The scans must mean exactly what the regular expressions of the serial
// formats mean. Short texts over the characters that matter are compared with
// std::regex, which is fine at these lengths.
class SerialTextAgainstRegex : public ::testing::Test {
protected:
    static std::vector<std::string> samples()
    {
        std::vector<std::string> texts{
            "BR694M-24011542", "BC4040C-000123-07", "MTC7C-24011501", "BC4040BM-24011501",
            "A1BC-1234567", "A12B-123456-0", "12-1234567", "AB1-",
        };
        // Texts shaped like serials (a word part, "-", a digit part), with a few
        // stray characters, so that the patterns both match and fail often.
        std::mt19937 random(6363);
        const auto draw = [&random](const std::string& from) {
            return from[random() % from.size()];
        };
        const std::string head = "ABMCSbx0123456789_";
        const std::string tail = "0123456789";
        const std::string stray = "- \n\xC3MX_";
        for (int i = 0; i < 6000; ++i) {
            std::string text;
            for (size_t k = random() % 8; k > 0; --k) {
                text += draw(head);
            }
            if (random() % 8 != 0) {
                text += '-';
            }
            for (size_t k = random() % 14; k > 0; --k) {
                text += random() % 7 == 0 ? '-' : draw(tail);
            }
            if (random() % 4 == 0 && !text.empty()) {
                text[random() % text.size()] = draw(stray);
            }
            texts.push_back(text);
        }
        return texts;
    }
};

TEST_F(SerialTextAgainstRegex, WholeTextPatterns)
{
    const std::regex v1(R"(^(\w+)(\d+)(\w?)(\w)-(\d{2})(\d{2})(\d{2})(\d+)$)");
    const std::regex v2(R"(^(\w+)(\d+)(\w?)(\w)-(\d{6})-(\d+)$)");
    const std::regex lead(R"(^(\w+)[MCS]-)");
    size_t matched = 0;
    for (const auto& text : samples()) {
        const bool isV1 = std::regex_match(text, v1);
        const bool isV2 = std::regex_match(text, v2);
        matched += isV1 || isV2;
        EXPECT_EQ(serialtext::matchesV1Pattern(text), isV1) << text;
        EXPECT_EQ(serialtext::matchesV2Pattern(text), isV2) << text;

        std::smatch m;
        std::string code;
        const bool hasLead = std::regex_search(text, m, lead);
        ASSERT_EQ(serialtext::findLeadingModelCode(text, code), hasLead) << text;
        if (hasLead) {
            EXPECT_EQ(code, m[1].str()) << text;
        }
    }
    EXPECT_GT(matched, 150u);
}

TEST_F(SerialTextAgainstRegex, SearchedParts)
{
    const std::regex model(R"(([a-zA-Z]{2,3})(\d+\w?)(\w)-)");
    const std::regex v1Numbers(R"((\d{2})(\d{2})(\d{2})(\d+))");
    const std::regex v2Numbers(R"((\d{6})-(\d+))");
    size_t found = 0;
    for (const auto& text : samples()) {
        std::smatch m;
        std::string code, sensor, colour;
        size_t position = 0;
        const bool hasModel = std::regex_search(text, m, model);
        ASSERT_EQ(ParseModelInfo(text, code, sensor, colour, position), hasModel) << text;
        size_t from = 0;
        if (hasModel) {
            ++found;
            EXPECT_EQ(code, m[1].str()) << text;
            EXPECT_EQ(sensor, m[2].str()) << text;
            EXPECT_EQ(colour, m[3].str()) << text;
            EXPECT_EQ(position, static_cast<size_t>(m.position(0) + m.length(0))) << text;
            from = position;
        }

        const auto begin = text.begin() + static_cast<std::ptrdiff_t>(from);
        std::int32_t year = -1, month = -1, day = -1, index = -1;
        const bool hasV1 = std::regex_search(begin, text.end(), m, v1Numbers);
        ASSERT_EQ(serialtext::findV1Numbers(text, from, year, month, day, index), hasV1) << text;
        if (hasV1) {
            EXPECT_EQ(year, saturated(m[1].str())) << text;
            EXPECT_EQ(month, saturated(m[2].str())) << text;
            EXPECT_EQ(day, saturated(m[3].str())) << text;
            EXPECT_EQ(index, saturated(m[4].str())) << text;
        }

        std::int32_t production = -1;
        const bool hasV2 = std::regex_search(begin, text.end(), m, v2Numbers);
        ASSERT_EQ(serialtext::findV2Numbers(text, from, production, index), hasV2) << text;
        if (hasV2) {
            EXPECT_EQ(production, saturated(m[1].str())) << text;
            EXPECT_EQ(index, saturated(m[2].str())) << text;
        }
    }
    EXPECT_GT(found, 300u);
}

} // namespace
} // namespace kv
