#pragma once

#include "protocol/protocol.h"

#include <cstddef>
#include <cstdint>

namespace kv {
namespace V2 {

#pragma pack(push, 1)
// Start of the body of a streamed image packet (the answer to PacketRequestExt). The
// stream reader views a datagram in place as TStreamPacket; the pixels after
// firstPixel run to the end of the body given in the response header.
struct TGetPacketResponseExt {
    uint32_t seqNum;      // the packet's sequence id
    uint16_t offsets;
    uint16_t firstPixel;
};
#pragma pack(pop)

using TStreamPacket = TMessage<TResponseHeader, TGetPacketResponseExt, TEmptyPayload>;

static_assert(sizeof(TGetPacketResponseExt) == 8, "TGetPacketResponseExt must be 8 packed bytes");
static_assert(offsetof(TGetPacketResponseExt, offsets) == 4, "offsets at offset 4");
static_assert(offsetof(TGetPacketResponseExt, firstPixel) == 6, "firstPixel at offset 6");
static_assert(offsetof(TStreamPacket, header) == 4, "response header after the preamble");
static_assert(offsetof(TStreamPacket, body) == 10, "packet body after the 10-byte response header");
static_assert(offsetof(TStreamPacket, body) + offsetof(TGetPacketResponseExt, firstPixel) == 16,
              "first pixel at datagram offset 16");

} // namespace V2
} // namespace kv
