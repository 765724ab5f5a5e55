#include "image/MetadataKey.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace kv;

namespace {

using Type = IMetadataKey::Type;

// Pairs written with the wire's separator bytes.
std::string pair(const std::string& key, const std::string& rest)
{
    return key + '\x01' + rest;
}

const char c_end = '\x02';

} // namespace

TEST(MetadataKey, ParsesPairsOfAText)
{
    // The last pair has no terminator and is dropped.
    const std::string text = pair("Gain", "I12") + c_end + pair("Temp", "F-10.5") + c_end + pair("Name", "Sx") + c_end +
                             pair("Tail", "I3");
    const MetadataKVMapPtr keys = MetadataKey::parseKeys(text);
    ASSERT_EQ(keys->size(), 3u);
    EXPECT_EQ(keys->count("Tail"), 0u);

    struct Case {
        const char* key;
        Type type;
        const char* value;
    };
    const Case cases[] = {
        {"Gain", IMetadataKey::INT, "12"},
        {"Temp", IMetadataKey::FLOAT, "-10.5"},
        {"Name", IMetadataKey::STRING, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        IMetadataKey& key = *keys->at(c.key);
        EXPECT_STREQ(key.key(), c.key);
        EXPECT_EQ(key.type(), c.type);
        EXPECT_STREQ(key.value(), c.value);
        EXPECT_STREQ(key.asString(), c.value);
        EXPECT_EQ(key.id(), 0u);
    }
    EXPECT_EQ(keys->at("Gain")->asInt(), 12);
    EXPECT_FLOAT_EQ(keys->at("Temp")->asFloat(), -10.5f);
    EXPECT_DOUBLE_EQ(keys->at("Temp")->asDouble(), -10.5);
    EXPECT_EQ(keys->begin()->first, "Gain") << "byte-wise first";
}

TEST(MetadataKey, TextEdgeCases)
{
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> keys;
    };
    const std::vector<Case> cases = {
        {"empty", "", {}},
        {"no terminator at all", pair("A", "I1"), {}},
        {"piece without separator skipped", "junk" + std::string(1, c_end) + pair("B", "I2") + c_end, {"B"}},
        {"empty pieces", std::string(3, c_end) + pair("C", "") + c_end, {"C"}},
        {"empty key", pair("", "I5") + c_end, {""}},
        {"byte-wise order", pair("b", "I1") + c_end + pair("B", "I1") + c_end + pair("a", "I1") + c_end,
         {"B", "a", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MetadataKVMapPtr keys = MetadataKey::parseKeys(c.text);
        std::vector<std::string> found;
        for (const auto& entry : *keys)
            found.push_back(entry.first);
        EXPECT_EQ(found, c.keys);
    }

    // A later pair of the same key replaces the earlier one.
    const MetadataKVMapPtr keys = MetadataKey::parseKeys(pair("K", "I1") + c_end + pair("K", "Sz") + c_end);
    ASSERT_EQ(keys->size(), 1u);
    EXPECT_EQ(keys->at("K")->type(), IMetadataKey::STRING);
    EXPECT_STREQ(keys->at("K")->value(), "z");

    // Only the first separator splits: the value may contain more.
    MetadataKey twice(pair("K", pair("S1", "2")));
    EXPECT_STREQ(twice.key(), "K");
    EXPECT_EQ(std::string(twice.value()), pair("1", "2"));
}

TEST(MetadataKey, PairTextAndTypes)
{
    struct Case {
        const char* name;
        std::string text;
        const char* key;
        Type type;
        const char* value;
    };
    const std::vector<Case> cases = {
        {"unknown letter kept", pair("K", "Q7"), "K", IMetadataKey::UNKNOWN, "Q7"},
        {"nothing after the separator", pair("K", ""), "K", IMetadataKey::UNKNOWN, ""},
        {"letter only", pair("K", "D"), "K", IMetadataKey::DOUBLE, ""},
        {"bool", pair("K", "B1"), "K", IMetadataKey::BOOL, "1"},
        {"lower-case letter is unknown", pair("K", "i3"), "K", IMetadataKey::UNKNOWN, "i3"},
        {"no separator", "KI3", "", IMetadataKey::UNKNOWN, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MetadataKey key(c.text);
        EXPECT_STREQ(key.key(), c.key);
        EXPECT_EQ(key.type(), c.type);
        EXPECT_STREQ(key.value(), c.value);
    }

    const char letters[] = {'I', 'F', 'D', 'S', 'B', 'X', '\0'};
    const Type types[] = {IMetadataKey::INT,    IMetadataKey::FLOAT, IMetadataKey::DOUBLE, IMetadataKey::STRING,
                          IMetadataKey::BOOL,   IMetadataKey::UNKNOWN, IMetadataKey::UNKNOWN};
    for (size_t i = 0; i < sizeof letters; ++i)
        EXPECT_EQ(MetadataKey::typeFromString(letters[i]), types[i]) << i;
    EXPECT_EQ(MetadataKey::typeToString(IMetadataKey::INT), "I");
    EXPECT_EQ(MetadataKey::typeToString(IMetadataKey::FLOAT), "F");
    EXPECT_EQ(MetadataKey::typeToString(IMetadataKey::DOUBLE), "D");
    EXPECT_EQ(MetadataKey::typeToString(IMetadataKey::STRING), "S");
    EXPECT_EQ(MetadataKey::typeToString(IMetadataKey::BOOL), "B");
    EXPECT_EQ(MetadataKey::typeToString(IMetadataKey::UNKNOWN), "?");
    EXPECT_EQ(MetadataKey::typeToString(static_cast<Type>(42)), "?");

    MetadataKey given(7, "Exposure", IMetadataKey::DOUBLE, "0.25");
    EXPECT_EQ(given.id(), 7u);
    EXPECT_STREQ(given.key(), "Exposure");
    EXPECT_DOUBLE_EQ(given.asDouble(), 0.25);
    MetadataKey empty;
    EXPECT_STREQ(empty.key(), "");
    EXPECT_EQ(empty.type(), IMetadataKey::UNKNOWN);
    EXPECT_EQ(empty.asInt(), 0);
}

// The conversions ignore the declared type and never throw.
TEST(MetadataKey, TypedAccessors)
{
    struct Case {
        const char* value;
        int asInt;
        float asFloat;
        bool asBool;
    };
    const Case cases[] = {
        {"abc", 0, 0.0f, false},
        {"12", 12, 12.0f, true},
        {"-3", -3, -3.0f, true},
        {"0", 0, 0.0f, false},
        {" 42", 42, 42.0f, true},
        {"+7", 7, 7.0f, true},
        {"+-7", 0, 0.0f, false},
        {"12abc", 12, 12.0f, true},
        {"2.75", 2, 2.75f, true},
        {"0.5", 0, 0.5f, false},
        {"99999999999", 0, 99999999999.0f, false},  // beyond int
        {"1e999", 1, 0.0f, true},                    // beyond float: 0; as int the leading 1
        {"", 0, 0.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        MetadataKey key(0, "K", IMetadataKey::STRING, c.value);
        EXPECT_EQ(key.asInt(), c.asInt);
        EXPECT_FLOAT_EQ(key.asFloat(), c.asFloat);
        EXPECT_EQ(key.asBool(), c.asBool);
    }
    MetadataKey tiny(0, "K", IMetadataKey::DOUBLE, "1e-400");
    EXPECT_EQ(tiny.asDouble(), 0.0);
    MetadataKey big(0, "K", IMetadataKey::DOUBLE, "1e300");
    EXPECT_DOUBLE_EQ(big.asDouble(), 1e300);
    EXPECT_EQ(big.asFloat(), 0.0f);
}

TEST(MetadataKey, SplitPairs)
{
    struct Case {
        std::string text;
        std::vector<std::string> pieces;
    };
    const std::vector<Case> cases = {
        {"a;b;c", {"a", "b", "c"}},
        {"a;b;", {"a", "b", ""}},
        {";", {"", ""}},
        {"", {""}},
        {"abc", {"abc"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MetadataKey::splitPairs(c.text, ';'), c.pieces) << c.text;
}
