#pragma once

#include "protocol/BaseBody.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {
namespace V2 {

#pragma pack(push, 1)
// Payload of the SetSubframeExt answer, as it travels (little-endian host).
struct TSetSubframeResponse {
    uint16_t packetCount = 0;  // image packets of one frame with this subframe
    uint16_t packetSize = 0;   // payload bytes per packet
};
#pragma pack(pop)

static_assert(sizeof(TSetSubframeResponse) == 4, "TSetSubframeResponse must be 4 packed bytes");
static_assert(offsetof(TSetSubframeResponse, packetSize) == 2, "packetSize at offset 2");

// Answer to SetSubframeExt: how the camera will cut a frame into packets.
class SetSubframeResponseBody : public V1::BaseBody {
public:
    static constexpr size_t c_bodyLength = sizeof(TSetSubframeResponse);

    SetSubframeResponseBody();
    explicit SetSubframeResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    const TSetSubframeResponse& getRecord() const { return m_response; }
    uint16_t getPacketCount() const { return m_response.packetCount; }
    uint16_t getPacketSize() const { return m_response.packetSize; }
    void setPacketCount(uint16_t count) { m_response.packetCount = count; }
    void setPacketSize(uint16_t size) { m_response.packetSize = size; }

private:
    TSetSubframeResponse m_response;
};

} // namespace V2
} // namespace kv
