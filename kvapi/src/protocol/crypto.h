#pragma once

#include <cstddef>
#include <cstdint>

namespace utl {
namespace crypto {

// CRC-16/XMODEM: polynomial 0x1021, initial value 0, MSB first, no final XOR.
// Returns 0 for a null pointer.
uint16_t crc16_ccitt(const char* data, size_t length);

// CRC-8/SMBUS: polynomial 0x07, initial value 0, MSB first, no final XOR.
// Returns 0 for a null pointer.
uint8_t crc8_ccitt(const char* data, size_t length);

} // namespace crypto
} // namespace utl
