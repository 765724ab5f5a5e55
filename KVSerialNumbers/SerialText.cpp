#include "KVSerialNumbers/SerialText.h"

#include <limits>

namespace kv {
namespace serialtext {
namespace {

// Classification in ASCII only, whatever the process locale.
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isWord(char c)
{
    return isDigit(c) || isLetter(c) || c == '_';
}

size_t digitRun(const std::string& text, size_t from)
{
    size_t end = from;
    while (end < text.size() && isDigit(text[end])) {
        ++end;
    }
    return end - from;
}

bool allDigits(const std::string& text, size_t first, size_t last)
{
    for (size_t i = first; i < last; ++i) {
        if (!isDigit(text[i])) {
            return false;
        }
    }
    return true;
}

// "^(\w+)(\d+)(\w?)(\w)-": the part before the first "-" is all word characters
// and a digit stands second or third from its end, with a word character before
// that digit.
bool matchesModelPart(const std::string& text, size_t& dash)
{
    dash = text.find('-');
    if (dash == std::string::npos) {
        return false;
    }
    for (size_t i = 0; i < dash; ++i) {
        if (!isWord(text[i])) {
            return false;
        }
    }
    return (dash >= 3 && isDigit(text[dash - 2])) || (dash >= 4 && isDigit(text[dash - 3]));
}

} // namespace

bool matchesV1Pattern(const std::string& text)
{
    size_t dash = 0;
    if (!matchesModelPart(text, dash)) {
        return false;
    }
    // (\d{2})(\d{2})(\d{2})(\d+)$: seven digits or more up to the end.
    return text.size() - (dash + 1) >= 7 && allDigits(text, dash + 1, text.size());
}

bool matchesV2Pattern(const std::string& text)
{
    size_t dash = 0;
    if (!matchesModelPart(text, dash)) {
        return false;
    }
    // (\d{6})-(\d+)$
    const size_t number = dash + 1;
    const size_t secondDash = number + 6;
    return text.size() >= secondDash + 2 && allDigits(text, number, secondDash)
        && text[secondDash] == '-' && allDigits(text, secondDash + 1, text.size());
}

bool findLeadingModelCode(const std::string& text, std::string& modelCode)
{
    // (\w+) cannot pass a non-word character, so the "-" must be the first one.
    size_t end = 0;
    while (end < text.size() && isWord(text[end])) {
        ++end;
    }
    if (end < 2 || end == text.size() || text[end] != '-') {
        return false;
    }
    const char colour = text[end - 1];
    if (colour != 'M' && colour != 'C' && colour != 'S') {
        return false;
    }
    modelCode.assign(text, 0, end - 1);
    return true;
}

bool findV1Numbers(const std::string& text, size_t from, std::int32_t& year,
                   std::int32_t& month, std::int32_t& day, std::int32_t& index)
{
    // The leftmost run of at least seven digits, taken whole by (\d+).
    size_t start = from;
    while (start < text.size()) {
        const size_t run = digitRun(text, start);
        if (run >= 7) {
            const char* p = text.data() + start;
            year = parseDecimal(p, p + 2);
            month = parseDecimal(p + 2, p + 4);
            day = parseDecimal(p + 4, p + 6);
            index = parseDecimal(p + 6, p + run);
            return true;
        }
        start += run == 0 ? 1 : run;
    }
    return false;
}

bool findV2Numbers(const std::string& text, size_t from, std::int32_t& production,
                   std::int32_t& index)
{
    // The leftmost six digits followed by "-" and a digit; an earlier start
    // inside the same run of digits cannot match, so the scan moves by runs.
    size_t start = from;
    while (start < text.size()) {
        const size_t run = digitRun(text, start);
        if (run == 0) {
            ++start;
            continue;
        }
        const size_t six = start + run - 6;
        const size_t dash = start + run;
        if (run >= 6 && dash + 1 < text.size() && text[dash] == '-' && isDigit(text[dash + 1])) {
            const size_t indexDigits = digitRun(text, dash + 1);
            const char* p = text.data();
            production = parseDecimal(p + six, p + dash);
            index = parseDecimal(p + dash + 1, p + dash + 1 + indexDigits);
            return true;
        }
        start += run;
    }
    return false;
}

std::int32_t parseDecimal(const char* first, const char* last)
{
    constexpr std::int32_t limit = std::numeric_limits<std::int32_t>::max();
    std::int32_t value = 0;
    for (const char* p = first; p != last; ++p) {
        const int digit = *p - '0';
        if (value > (limit - digit) / 10) {
            return limit;
        }
        value = value * 10 + digit;
    }
    return value;
}

std::string padded(std::int32_t value, size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

std::uint32_t formatBits(size_t number)
{
    // A serial number is 32 bits wide; anything larger is no serial number.
    if (number > 0xFFFFFFFFu) {
        return c_noFormat;
    }
    return (static_cast<std::uint32_t>(number) >> 12) & 3u;
}

} // namespace serialtext

bool ParseModelInfo(const std::string& text, std::string& code, std::string& sensor,
                    std::string& colour, size_t& position)
{
    using namespace serialtext;
    const size_t size = text.size();
    for (size_t start = 0; start + 2 <= size; ++start) {
        // {2,3} is greedy: three letters are tried before two.
        for (size_t letters = 3; letters >= 2; --letters) {
            const size_t digits = start + letters;
            if (digits > size) {
                continue;
            }
            bool allLetters = true;
            for (size_t i = start; i < digits; ++i) {
                allLetters = allLetters && isLetter(text[i]);
            }
            if (!allLetters) {
                continue;
            }
            const size_t run = digitRun(text, digits);
            // (\d+) gives back digits one at a time; once it holds two fewer
            // than the run, the "-" would have to stand on a digit, so only the
            // whole run and the run less one can lead to a match.
            for (size_t taken = run; taken >= 1 && taken + 1 >= run; --taken) {
                const size_t afterDigits = digits + taken;
                // (\w?) is greedy: one character before none.
                for (size_t optional = 1;; --optional) {
                    const size_t colourAt = afterDigits + optional;
                    const bool fits = colourAt + 1 < size
                        && (optional == 0 || isWord(text[afterDigits]))
                        && isWord(text[colourAt]) && text[colourAt + 1] == '-';
                    if (fits) {
                        code.assign(text, start, letters);
                        sensor.assign(text, digits, colourAt - digits);
                        colour.assign(1, text[colourAt]);
                        position = colourAt + 2;
                        return true;
                    }
                    if (optional == 0) {
                        break;
                    }
                }
            }
        }
    }
    return false;
}

} // namespace kv
