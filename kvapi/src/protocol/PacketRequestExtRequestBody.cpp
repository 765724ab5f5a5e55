#include "protocol/PacketRequestExtRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>
#include <stdexcept>

namespace kv {
namespace V2 {

PacketRequestExtRequestBody::PacketRequestExtRequestBody()
    : BaseBody(SohType::Cmd, BodyType::PacketRequestExt)
{
}

PacketRequestExtRequestBody::PacketRequestExtRequestBody(const uint8_t* data, size_t length)
    : PacketRequestExtRequestBody()
{
    setFromBuffer(data, length);
}

PacketRequestExtRequestBody::PacketRequestExtRequestBody(IOBufferPtr buffer)
    : PacketRequestExtRequestBody()
{
    PacketRequestExtRequestBody::setBuffer(buffer);
}

IOBufferPtr PacketRequestExtRequestBody::getBuffer() const
{
    if (m_body.empty())
        throw std::invalid_argument("V2::StartDownload: Cannot construct an empty body");
    IOBufferPtr buffer = IOBuffer::newBuffer(getBufferLength());
    char* p = buffer->data;
    for (const TPacketRequest& range : m_body) {
        utl::copy::to(p + 0, range.offset);
        utl::copy::to(p + 4, range.count);
        p += c_recordLength;
    }
    return buffer;
}

void PacketRequestExtRequestBody::setFromBuffer(const uint8_t* data, size_t length)
{
    if (length % c_recordLength != 0)
        throw std::invalid_argument("V2::PacketRequestExt: body length is not a multiple of 6");
    if (length > 0 && data == nullptr)
        throw std::invalid_argument("V2::PacketRequestExt: no bytes to read");
    TStartDownloadRequest ranges(length / c_recordLength);
    const char* p = reinterpret_cast<const char*>(data);
    for (TPacketRequest& range : ranges) {
        // Through locals: the packed fields may be unaligned.
        uint32_t offset = 0;
        uint16_t count = 0;
        utl::copy::from(&offset, p + 0);
        utl::copy::from(&count, p + 4);
        range = TPacketRequest(offset, count);
        p += c_recordLength;
    }
    m_body = std::move(ranges);
}

void PacketRequestExtRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer) {
        m_body.clear();
        return;
    }
    setFromBuffer(reinterpret_cast<const uint8_t*>(buffer->data), buffer->length);
}

size_t PacketRequestExtRequestBody::getBufferLength() const
{
    return c_recordLength * m_body.size();
}

std::string PacketRequestExtRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data";
    for (size_t k = 0; k < m_body.size(); ++k)
        out << " | Packet : " << k << " , Offset : " << m_body[k].offset << " , Count  : " << m_body[k].count;
    return out.str();
}

} // namespace V2
} // namespace kv
