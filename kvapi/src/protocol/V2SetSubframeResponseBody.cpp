#include "protocol/V2SetSubframeResponseBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V2 {

SetSubframeResponseBody::SetSubframeResponseBody()
    : BaseBody(SohType::Cmd, BodyType::SetSubframeExt)
{
}

SetSubframeResponseBody::SetSubframeResponseBody(IOBufferPtr buffer)
    : SetSubframeResponseBody()
{
    SetSubframeResponseBody::setBuffer(buffer);
}

IOBufferPtr SetSubframeResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_response.packetCount);
    utl::copy::to(buffer->data + 2, m_response.packetSize);
    return buffer;
}

void SetSubframeResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    // Through locals: the packed fields may be unaligned.
    uint16_t packetCount = 0;
    uint16_t packetSize = 0;
    utl::copy::from(&packetCount, buffer->data + 0);
    utl::copy::from(&packetSize, buffer->data + 2);
    m_response.packetCount = packetCount;
    m_response.packetSize = packetSize;
}

size_t SetSubframeResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SetSubframeResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Packet Count: " << m_response.packetCount
        << " | Packet Size : " << m_response.packetSize;
    return out.str();
}

} // namespace V2
} // namespace kv
