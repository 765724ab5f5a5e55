#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {
namespace V1 {

using PacketData = std::vector<uint16_t>;
using PacketDataPtr = std::shared_ptr<PacketData>;

// One image packet: its id within the frame and its pixels. The answer to PacketRequest
// and to PacketRequestExt. The id is 4 bytes wide where the body's protocol version has
// ExtendedPacketId, otherwise 2.
class GetPacketsResponseBody : public BaseBody {
public:
    explicit GetPacketsResponseBody(BodyType bodyType = BodyType::PacketRequest);
    explicit GetPacketsResponseBody(IOBufferPtr buffer, BodyType bodyType = BodyType::PacketRequest);

    // The id and the first maxPacketLength pixels, zero-filled to that many.
    IOBufferPtr getBuffer() const override;
    // All whole pixels after the id; a body shorter than the id is not parsed.
    void setBuffer(const IOBufferPtr& buffer) override;
    // Id width + 2 * maxPacketLength: what the receiver expects.
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    // Never null.
    PacketDataPtr getData() const { return m_data; }
    void setData(PacketDataPtr data) { m_data = data ? std::move(data) : std::make_shared<PacketData>(); }
    uint32_t getPacketId() const { return m_packetId; }
    void setPacketId(uint32_t id) { m_packetId = id; }
    // Pixels per packet, set by the receiver.
    int getMaxPacketLength() const { return m_maxPacketLength; }
    void setMaxPacketLength(int pixels) { m_maxPacketLength = pixels; }

    // 2 or 4, from the protocol version.
    size_t getPacketIdWidth() const;

protected:
    size_t maxPixels() const { return m_maxPacketLength > 0 ? static_cast<size_t>(m_maxPacketLength) : 0; }
    IOBufferPtr writePixels(size_t offset) const;
    void readPixels(const IOBufferPtr& buffer, size_t offset);

    uint32_t m_packetId = 0;
    PacketDataPtr m_data;
    int m_maxPacketLength = 0;

private:
    // The width for the version last asked about, so that the feature table is not
    // rebuilt for every packet.
    mutable size_t m_idWidthVersion = 0;
    mutable size_t m_idWidth = 0;
};

} // namespace V1
} // namespace kv
