#include "protocol/crypto.h"

#include <array>

namespace utl {
namespace crypto {

namespace {

// Both tables are built by the compiler and live in read-only memory, so
// concurrent callers never see them half made.
constexpr std::array<uint16_t, 256> makeCrc16Table()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint8_t, 256> makeCrc8Table()
{
    std::array<uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint8_t crc = static_cast<uint8_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = static_cast<uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1);
        table[i] = crc;
    }
    return table;
}

constexpr std::array<uint16_t, 256> c_crc16Table = makeCrc16Table();
constexpr std::array<uint8_t, 256> c_crc8Table = makeCrc8Table();

static_assert(c_crc16Table[1] == 0x1021 && c_crc16Table[255] == 0x1EF0, "CRC-16 table");
static_assert(c_crc8Table[1] == 0x07 && c_crc8Table[255] == 0xF3, "CRC-8 table");

} // namespace

uint16_t crc16_ccitt(const char* data, size_t length)
{
    if (!data)
        return 0;
    uint16_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
        const auto index = static_cast<uint8_t>((crc >> 8) ^ static_cast<uint8_t>(data[i]));
        crc = static_cast<uint16_t>((crc << 8) ^ c_crc16Table[index]);
    }
    return crc;
}

uint8_t crc8_ccitt(const char* data, size_t length)
{
    if (!data)
        return 0;
    uint8_t crc = 0;
    for (size_t i = 0; i < length; ++i)
        crc = c_crc8Table[static_cast<uint8_t>(crc ^ static_cast<uint8_t>(data[i]))];
    return crc;
}

} // namespace crypto
} // namespace utl
