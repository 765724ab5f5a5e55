#pragma once

#include <cstddef>
#include <cstdint>

namespace kv {
namespace V1 {

#pragma pack(push, 1)
// Body of the fixed-layout SetNetworkConfig frame, sent as raw bytes. Addresses are in
// network byte order (first octet first); serial is not terminated when 32 long.
struct TNetworkConfigBody {
    uint8_t mac[6] = {};
    uint8_t deviceIP[4] = {};
    uint8_t gateway[4] = {};
    uint8_t subnetMask[4] = {};
    char serial[32] = {};
};
#pragma pack(pop)

static_assert(sizeof(TNetworkConfigBody) == 50, "TNetworkConfigBody must be 50 packed bytes");
static_assert(offsetof(TNetworkConfigBody, deviceIP) == 6, "deviceIP at offset 6");
static_assert(offsetof(TNetworkConfigBody, gateway) == 10, "gateway at offset 10");
static_assert(offsetof(TNetworkConfigBody, subnetMask) == 14, "subnetMask at offset 14");
static_assert(offsetof(TNetworkConfigBody, serial) == 18, "serial at offset 18");

} // namespace V1
} // namespace kv
