#pragma once

#include <kvapi/kvapi.h>

#include <cstdint>

// The flags byte of the Wi-Fi bodies: bits 0-3 the network mode, bit 6 USA/Canada
// channel mode, bit 7 passphrase given in hexadecimal. Bits 4-5 are kept as they are.
namespace kv {
namespace V1 {
namespace NetworkFlags {

constexpr uint8_t c_modeMask = 0x0F;
constexpr uint8_t c_usaCanadaBit = 0x40;
constexpr uint8_t c_hexPasswordBit = 0x80;

inline ENetworkMode mode(uint8_t flags)
{
    return static_cast<ENetworkMode>(flags & c_modeMask);
}

inline uint8_t withMode(uint8_t flags, ENetworkMode networkMode)
{
    return static_cast<uint8_t>((flags & ~c_modeMask) | (static_cast<uint8_t>(networkMode) & c_modeMask));
}

inline uint8_t withBit(uint8_t flags, uint8_t bit, bool set)
{
    return static_cast<uint8_t>(set ? (flags | bit) : (flags & ~bit));
}

} // namespace NetworkFlags
} // namespace V1
} // namespace kv
