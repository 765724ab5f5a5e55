#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {
namespace V1 {

// Asks the camera to send individual image packets again, at most 500 per request.
class GetPacketsRequestBody : public BaseBody {
public:
    using PacketList = std::vector<uint16_t>;

    static constexpr size_t c_maxPackets = 500;
    static constexpr size_t c_bodyLength = 2 + 2 * c_maxPackets;

    GetPacketsRequestBody();
    explicit GetPacketsRequestBody(IOBufferPtr buffer);

    // The first min(count, 500) ids, the rest of the 500 slots zero.
    IOBufferPtr getBuffer() const override;
    // A count above 500, or above the ids present, is cut to the ids that fit both.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    void pushPacket(uint16_t id) { m_packetList.push_back(id); }
    void clearPackets() { m_packetList.clear(); }
    void setPacketList(const PacketList& ids) { m_packetList = ids; }
    const PacketList& getPacketList() const { return m_packetList; }
    static constexpr size_t getMaxPackets() { return c_maxPackets; }

private:
    PacketList m_packetList;
};

} // namespace V1
} // namespace kv
