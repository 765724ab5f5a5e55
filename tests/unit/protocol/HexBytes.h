#pragma once

#include <cctype>
#include <cstdio>
#include <string>

#include "gateway/types.h"

// Frames written as hex text ("a5 00 1f"), as in the protocol's examples.
namespace hexbytes {

// Whitespace between bytes is ignored. The buffer has exactly the bytes given,
// so a read past its end shows up under AddressSanitizer.
inline kv::IOBufferPtr fromHex(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            digits += c;
    auto buffer = kv::IOBuffer::newBuffer(digits.size() / 2);
    for (size_t i = 0; i < buffer->length; ++i)
        buffer->data[i] = static_cast<char>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    return buffer;
}

inline std::string toHex(const kv::IOBufferPtr& buffer)
{
    std::string text;
    for (size_t i = 0; buffer && i < buffer->length; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(buffer->data[i]));
        text += (i ? " " : "") + std::string(byte);
    }
    return text;
}

} // namespace hexbytes
