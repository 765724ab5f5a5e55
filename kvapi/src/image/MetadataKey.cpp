#include "image/MetadataKey.h"

#include <cctype>
#include <charconv>
#include <utility>
#include <system_error>

namespace kv {

namespace {

// Like std::stoi / std::stof: leading white space and one '+' are skipped and the
// longest leading number counts; unlike them, the decimal point does not depend on
// the process locale and nothing throws.
template <typename T>
T parseNumber(const std::string& text)
{
    const char* first = text.data();
    const char* last = first + text.size();
    while (first != last && std::isspace(static_cast<unsigned char>(*first)))
        ++first;
    if (first != last && *first == '+' && (first + 1 == last || first[1] != '-'))
        ++first;
    T value = 0;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() ? value : T(0);
}

} // namespace

MetadataKey::MetadataKey() = default;

MetadataKey::MetadataKey(const std::string& pair)
{
    const size_t separator = pair.find(c_keySeparator);
    if (separator == std::string::npos)
        return;
    m_key = pair.substr(0, separator);
    const size_t rest = separator + 1;
    m_type = rest < pair.size() ? typeFromString(pair[rest]) : UNKNOWN;
    // An unknown letter stays part of the value.
    m_value = pair.substr(m_type == UNKNOWN ? rest : rest + 1);
}

MetadataKey::MetadataKey(uint32_t id, std::string key, Type type, std::string value)
    : m_key(std::move(key))
    , m_type(type)
    , m_value(std::move(value))
    , m_id(id)
{
}

MetadataKey::~MetadataKey() = default;

uint32_t MetadataKey::id()
{
    return m_id;
}

const char* MetadataKey::key()
{
    return m_key.c_str();
}

IMetadataKey::Type MetadataKey::type()
{
    return m_type;
}

const char* MetadataKey::value()
{
    return m_value.c_str();
}

int MetadataKey::asInt()
{
    return parseNumber<int>(m_value);
}

float MetadataKey::asFloat()
{
    return parseNumber<float>(m_value);
}

double MetadataKey::asDouble()
{
    return parseNumber<double>(m_value);
}

const char* MetadataKey::asString()
{
    return m_value.c_str();
}

bool MetadataKey::asBool()
{
    return asInt() != 0;
}

IMetadataKey::Type MetadataKey::typeFromString(char letter)
{
    switch (letter) {
    case 'I': return INT;
    case 'F': return FLOAT;
    case 'D': return DOUBLE;
    case 'S': return STRING;
    case 'B': return BOOL;
    default: return UNKNOWN;
    }
}

std::string MetadataKey::typeToString(Type type)
{
    switch (type) {
    case INT: return "I";
    case FLOAT: return "F";
    case DOUBLE: return "D";
    case STRING: return "S";
    case BOOL: return "B";
    default: return "?";
    }
}

std::vector<std::string> MetadataKey::splitPairs(const std::string& text, char delimiter)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t end = text.find(delimiter); end != std::string::npos; end = text.find(delimiter, start)) {
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

MetadataKVMapPtr MetadataKey::parseKeys(const std::string& text)
{
    auto keys = std::make_shared<MetadataKVMap>();
    size_t start = 0;
    for (size_t end = text.find(c_pairTerminator); end != std::string::npos;
         end = text.find(c_pairTerminator, start)) {
        const std::string pair = text.substr(start, end - start);
        start = end + 1;
        if (pair.find(c_keySeparator) == std::string::npos)
            continue;
        auto key = std::make_shared<MetadataKey>(pair);
        std::shared_ptr<IMetadataKey>& slot = (*keys)[key->m_key];
        slot = std::move(key);
    }
    return keys;
}

} // namespace kv
