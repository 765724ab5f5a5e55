#pragma once

#include <cstddef>
#include <cstdint>

namespace kv {
namespace V1 {

#pragma pack(push, 1)
// Body of the fixed-layout SetImageChannels frame, sent as raw bytes: where the camera
// streams image packets. Addresses are in network byte order (first octet first), 0
// for an absent channel.
struct SetImageChannelsBody {
    uint32_t nic1_ip = 0;
    uint16_t nic1_port1 = 0;
    uint16_t nic1_port2 = 0;
    uint32_t nic2_ip = 0;
    uint16_t nic2_port1 = 0;
    uint16_t nic2_port2 = 0;

    bool operator==(const SetImageChannelsBody& other) const
    {
        return nic1_ip == other.nic1_ip && nic1_port1 == other.nic1_port1 && nic1_port2 == other.nic1_port2 &&
               nic2_ip == other.nic2_ip && nic2_port1 == other.nic2_port1 && nic2_port2 == other.nic2_port2;
    }
    bool operator!=(const SetImageChannelsBody& other) const { return !(*this == other); }
};
#pragma pack(pop)

static_assert(sizeof(SetImageChannelsBody) == 16, "SetImageChannelsBody must be 16 packed bytes");
static_assert(offsetof(SetImageChannelsBody, nic1_port1) == 4, "nic1_port1 at offset 4");
static_assert(offsetof(SetImageChannelsBody, nic1_port2) == 6, "nic1_port2 at offset 6");
static_assert(offsetof(SetImageChannelsBody, nic2_ip) == 8, "nic2_ip at offset 8");
static_assert(offsetof(SetImageChannelsBody, nic2_port1) == 12, "nic2_port1 at offset 12");
static_assert(offsetof(SetImageChannelsBody, nic2_port2) == 14, "nic2_port2 at offset 14");

} // namespace V1
} // namespace kv
