#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kvcam {

// A JSON value for the --json output: objects keep their keys in the order
// they were added, so the output reads like the text form.
class Json {
public:
    enum class Kind { Null, Bool, Integer, Number, String, Array, Object };

    Json() = default;
    Json(bool value) : m_kind(Kind::Bool), m_bool(value) {}
    Json(int value) : m_kind(Kind::Integer), m_integer(value) {}
    Json(unsigned value) : m_kind(Kind::Integer), m_integer(value) {}
    Json(long value) : m_kind(Kind::Integer), m_integer(value) {}
    Json(unsigned long value) : m_kind(Kind::Integer), m_integer(static_cast<int64_t>(value)) {}
    Json(long long value) : m_kind(Kind::Integer), m_integer(value) {}
    Json(unsigned long long value) : m_kind(Kind::Integer), m_integer(static_cast<int64_t>(value)) {}
    Json(float value) : m_kind(Kind::Number), m_number(value), m_single(true) {}
    Json(double value) : m_kind(Kind::Number), m_number(value) {}
    Json(const char* value) : m_kind(Kind::String), m_string(value ? value : "") {}
    Json(std::string value) : m_kind(Kind::String), m_string(std::move(value)) {}

    static Json array();
    static Json object();

    Kind kind() const { return m_kind; }
    // Appends to an array.
    Json& push(Json value);
    // The member of an object with that key, added as null when missing.
    Json& operator[](const std::string& key);

    // Compact JSON text. Numbers that JSON cannot carry (NaN, infinities) become null.
    std::string dump() const;
    // The value as a person reads it: strings bare, booleans yes/no.
    std::string text() const;

private:
    void write(std::string& out) const;

    Kind m_kind = Kind::Null;
    bool m_bool = false;
    int64_t m_integer = 0;
    double m_number = 0.0;
    bool m_single = false; // a float: printed with the digits a float holds
    std::string m_string;
    std::vector<Json> m_items;
    std::vector<std::pair<std::string, Json>> m_members;
};

// Shortest readable form of a number: 6 significant digits for a float.
std::string formatNumber(double value, bool single);

} // namespace kvcam
