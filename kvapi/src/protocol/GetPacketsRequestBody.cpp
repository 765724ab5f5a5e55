#include "protocol/GetPacketsRequestBody.h"

#include "gateway/utilities.h"

#include <algorithm>

namespace kv {
namespace V1 {

namespace {

constexpr size_t c_countLength = 2;

} // namespace

GetPacketsRequestBody::GetPacketsRequestBody()
    : BaseBody(SohType::Cmd, BodyType::PacketRequest)
{
}

GetPacketsRequestBody::GetPacketsRequestBody(IOBufferPtr buffer)
    : GetPacketsRequestBody()
{
    GetPacketsRequestBody::setBuffer(buffer);
}

IOBufferPtr GetPacketsRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    const size_t count = std::min(m_packetList.size(), c_maxPackets);
    utl::copy::to(buffer->data, static_cast<uint16_t>(count));
    utl::copy::to(buffer->data + c_countLength, m_packetList.data(), count);
    return buffer;
}

void GetPacketsRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Without the count nothing is parsed.
    if (!buffer || buffer->length < c_countLength)
        return;
    uint16_t count = 0;
    utl::copy::from(&count, buffer->data);
    const size_t present = (buffer->length - c_countLength) / 2;
    m_packetList.resize(std::min({static_cast<size_t>(count), c_maxPackets, present}));
    utl::copy::from(m_packetList.data(), buffer->data + c_countLength, m_packetList.size());
}

size_t GetPacketsRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetPacketsRequestBody::getMessageDataString() const
{
    return {};
}

} // namespace V1
} // namespace kv
