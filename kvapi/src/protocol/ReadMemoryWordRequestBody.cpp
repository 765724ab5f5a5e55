#include "protocol/ReadMemoryWordRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

ReadMemoryWordRequestBody::ReadMemoryWordRequestBody()
    : BaseBody(SohType::Cmd, BodyType::ReadMemoryWord)
{
}

ReadMemoryWordRequestBody::ReadMemoryWordRequestBody(IOBufferPtr buffer)
    : ReadMemoryWordRequestBody()
{
    ReadMemoryWordRequestBody::setBuffer(buffer);
}

IOBufferPtr ReadMemoryWordRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_address);
    return buffer;
}

void ReadMemoryWordRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_address, buffer->data);
}

size_t ReadMemoryWordRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ReadMemoryWordRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Address: " << static_cast<unsigned>(m_address);
    return out.str();
}

} // namespace V1
} // namespace kv
