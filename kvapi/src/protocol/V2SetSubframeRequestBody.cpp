#include "protocol/V2SetSubframeRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>
#include <stdexcept>

namespace kv {
namespace V2 {

namespace {

template <typename T>
T readField(const char* p)
{
    T value;
    utl::copy::from(&value, p);
    return value;
}

} // namespace

SetSubframeRequestBody::SetSubframeRequestBody()
    : BaseBody(SohType::Cmd, BodyType::SetSubframeExt)
{
}

SetSubframeRequestBody::SetSubframeRequestBody(const uint8_t (&record)[c_bodyLength])
    : SetSubframeRequestBody()
{
    readRecord(reinterpret_cast<const char*>(record));
}

SetSubframeRequestBody::SetSubframeRequestBody(IOBufferPtr buffer)
    : SetSubframeRequestBody()
{
    SetSubframeRequestBody::setBuffer(buffer);
}

// Field by field, which is the record's own bytes on a little-endian host. Through
// locals: the packed fields may be unaligned.
void SetSubframeRequestBody::readRecord(const char* p)
{
    m_request.xOffset = readField<uint16_t>(p + 0);
    m_request.yOffset = readField<uint16_t>(p + 2);
    m_request.xSize = readField<uint16_t>(p + 4);
    m_request.ySize = readField<uint16_t>(p + 6);
    m_request.xBin = readField<uint8_t>(p + 8);
    m_request.yBin = readField<uint8_t>(p + 9);
    m_request.MTU = readField<uint32_t>(p + 10);
    m_request.endianness = readField<uint16_t>(p + 14);
}

IOBufferPtr SetSubframeRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    char* p = buffer->data;
    utl::copy::to(p + 0, m_request.xOffset);
    utl::copy::to(p + 2, m_request.yOffset);
    utl::copy::to(p + 4, m_request.xSize);
    utl::copy::to(p + 6, m_request.ySize);
    utl::copy::to(p + 8, m_request.xBin);
    utl::copy::to(p + 9, m_request.yBin);
    utl::copy::to(p + 10, m_request.MTU);
    utl::copy::to(p + 14, m_request.endianness);
    return buffer;
}

void SetSubframeRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length < c_bodyLength)
        throw std::invalid_argument("Buffer was not too short for TSetSubframeRequest");
    readRecord(buffer->data);
}

size_t SetSubframeRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SetSubframeRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | X Offset : " << m_request.xOffset
        << " | Y Offset : " << m_request.yOffset
        << " | X Size   : " << m_request.xSize
        << " | Y Size   : " << m_request.ySize
        << " | X Binning: " << static_cast<unsigned>(m_request.xBin)
        << " | Y Binning: " << static_cast<unsigned>(m_request.yBin)
        << " | MTU      : " << m_request.MTU
        << " | Endian   : 0x" << std::hex << m_request.endianness;
    return out.str();
}

} // namespace V2
} // namespace kv
