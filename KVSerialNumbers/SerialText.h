#pragma once

// Scanning of serial texts, internal to the serial-number module.
//
// Serial texts come from users and from cameras, so every scan here is a single
// bounded pass over the text: no recursion, no reading past its end, and numbers
// saturate instead of overflowing. Each scan keeps the meaning of the pattern
// named in its comment (ECMAScript syntax; \w is [A-Za-z0-9_], \d is [0-9]).

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {

// Finds the first "([a-zA-Z]{2,3})(\d+\w?)(\w)-" in the text. On a match the
// camera-line code, the sensor part, the colour letter and the offset just after
// the "-" are stored and the result is true; otherwise the outputs are untouched.
bool ParseModelInfo(const std::string& text, std::string& code, std::string& sensor,
                    std::string& colour, size_t& position);

namespace serialtext {

// Whole text matches "^(\w+)(\d+)(\w?)(\w)-(\d{2})(\d{2})(\d{2})(\d+)$".
bool matchesV1Pattern(const std::string& text);

// Whole text matches "^(\w+)(\d+)(\w?)(\w)-(\d{6})-(\d+)$".
bool matchesV2Pattern(const std::string& text);

// Text starts with "(\w+)[MCS]-"; the model code is the first group.
bool findLeadingModelCode(const std::string& text, std::string& modelCode);

// First "(\d{2})(\d{2})(\d{2})(\d+)" at or after the offset.
bool findV1Numbers(const std::string& text, size_t from, std::int32_t& year,
                   std::int32_t& month, std::int32_t& day, std::int32_t& index);

// First "(\d{6})-(\d+)" at or after the offset.
bool findV2Numbers(const std::string& text, size_t from, std::int32_t& production,
                   std::int32_t& index);

// Decimal value of the digits [first, last), saturated at INT32_MAX.
std::int32_t parseDecimal(const char* first, const char* last);

// Decimal text of a value, with leading zeros up to the given width.
std::string padded(std::int32_t value, size_t width);

// Bits 12 and 13 of a serial number, when it has no bits above 31.
constexpr std::uint32_t c_formatV1 = 0;
constexpr std::uint32_t c_formatV2 = 1;
constexpr std::uint32_t c_noFormat = 0xFFFFFFFFu;
std::uint32_t formatBits(size_t number);

} // namespace serialtext
} // namespace kv
