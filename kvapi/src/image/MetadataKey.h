#pragma once

#include <kvapi/kvapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kv {

using IMetadataKey = V2::IImage::IMetadataKey;
// Keys by their text, in ascending byte-wise order.
using MetadataKVMap = std::map<std::string, std::shared_ptr<IMetadataKey>>;
using MetadataKVMapPtr = std::shared_ptr<MetadataKVMap>;

// One key of the key/value metadata text: a key, a type letter and a value. Immutable
// once built.
class MetadataKey : public IMetadataKey {
public:
    static constexpr char c_keySeparator = '\x01';
    static constexpr char c_pairTerminator = '\x02';

    MetadataKey();
    // From one pair "key" 0x01 type-letter value; without 0x01 key and value are empty.
    explicit MetadataKey(const std::string& pair);
    MetadataKey(uint32_t id, std::string key, Type type, std::string value);
    virtual ~MetadataKey();

    uint32_t id() override;
    const char* key() override;
    Type type() override;
    const char* value() override;
    // The value as a number, whatever the declared type; 0 when it is not one or is out
    // of range. A number followed by other characters counts by its leading part.
    int asInt() override;
    float asFloat() override;
    double asDouble() override;
    const char* asString() override;
    bool asBool() override;

    // "I" INT, "F" FLOAT, "D" DOUBLE, "S" STRING, "B" BOOL, anything else UNKNOWN.
    static Type typeFromString(char letter);
    // The letter of a type; "?" for UNKNOWN and values outside the table.
    static std::string typeToString(Type type);
    // Pieces between the delimiters, the one after the last delimiter included.
    static std::vector<std::string> splitPairs(const std::string& text, char delimiter);
    // A map of the pairs of a whole text: every pair ends with 0x02; pairs without 0x01
    // and text after the last 0x02 are ignored; a later pair replaces an earlier one
    // of the same key.
    static MetadataKVMapPtr parseKeys(const std::string& text);

private:
    std::string m_key;
    Type m_type = UNKNOWN;
    std::string m_value;
    uint32_t m_id = 0;
};

} // namespace kv
