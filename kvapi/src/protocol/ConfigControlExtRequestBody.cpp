#include "protocol/ConfigControlExtRequestBody.h"

#include <cstring>
#include <sstream>

namespace kv {
namespace V2 {

ConfigControlExtRequestBody::ConfigControlExtRequestBody()
    : BaseBody(SohType::Cmd, BodyType::ConfigControlExt)
{
}

ConfigControlExtRequestBody::ConfigControlExtRequestBody(IOBufferPtr buffer)
    : ConfigControlExtRequestBody()
{
    ConfigControlExtRequestBody::setBuffer(buffer);
}

uint32_t ConfigControlExtRequestBody::getParameter() const
{
    unsigned char bytes[4];
    const uint32_t stored = m_request.m_parameter;
    std::memcpy(bytes, &stored, sizeof bytes);
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

void ConfigControlExtRequestBody::setParameter(uint32_t parameter)
{
    // Byte by byte, so that the order in memory is the network order on any host.
    const unsigned char bytes[4] = {static_cast<unsigned char>(parameter >> 24),
                                    static_cast<unsigned char>(parameter >> 16),
                                    static_cast<unsigned char>(parameter >> 8),
                                    static_cast<unsigned char>(parameter)};
    uint32_t stored = 0;
    std::memcpy(&stored, bytes, sizeof bytes);
    m_request.m_parameter = stored;
}

IOBufferPtr ConfigControlExtRequestBody::getBuffer() const
{
    return IOBuffer::newBuffer(reinterpret_cast<const char*>(&m_request), c_bodyLength);
}

void ConfigControlExtRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the record: nothing is parsed; bytes after it are ignored.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    std::memcpy(&m_request, buffer->data, c_bodyLength);
}

size_t ConfigControlExtRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ConfigControlExtRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Command: " << static_cast<unsigned>(m_request.m_command)
        << " | Parameter: " << getParameter();
    return out.str();
}

} // namespace V2
} // namespace kv
