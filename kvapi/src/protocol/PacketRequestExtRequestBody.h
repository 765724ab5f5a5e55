#pragma once

#include "protocol/BaseBody.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {
namespace V2 {

#pragma pack(push, 1)
// One range of consecutive packets, as it travels (little-endian host).
struct TPacketRequest {
    TPacketRequest() = default;
    TPacketRequest(uint32_t first, uint16_t packets) : offset(first), count(packets) {}

    uint32_t offset = 0;  // first packet id of the range
    uint16_t count = 0;   // number of consecutive packets
};
#pragma pack(pop)

static_assert(sizeof(TPacketRequest) == 6, "TPacketRequest must be 6 packed bytes");
static_assert(offsetof(TPacketRequest, count) == 4, "count at offset 4");

using TStartDownloadRequest = std::vector<TPacketRequest>;

// Asks a streaming camera for ranges of image packets, 6 bytes per range.
class PacketRequestExtRequestBody : public V1::BaseBody {
public:
    static constexpr size_t c_recordLength = sizeof(TPacketRequest);

    PacketRequestExtRequestBody();
    // Like setFromBuffer.
    PacketRequestExtRequestBody(const uint8_t* data, size_t length);
    explicit PacketRequestExtRequestBody(IOBufferPtr buffer);

    // An empty list throws std::invalid_argument.
    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    const TStartDownloadRequest& getPacketList() const { return m_body; }
    void setPacketList(const TStartDownloadRequest& ranges) { m_body = ranges; }
    // Exactly length / 6 ranges; a length that is not a multiple of 6 throws
    // std::invalid_argument and leaves the list as it was.
    void setFromBuffer(const uint8_t* data, size_t length);

private:
    TStartDownloadRequest m_body;
};

} // namespace V2
} // namespace kv
