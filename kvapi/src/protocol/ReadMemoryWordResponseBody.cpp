#include "protocol/ReadMemoryWordResponseBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

ReadMemoryWordResponseBody::ReadMemoryWordResponseBody()
    : BaseBody(SohType::Cmd, BodyType::ReadMemoryWord)
{
}

ReadMemoryWordResponseBody::ReadMemoryWordResponseBody(IOBufferPtr buffer)
    : ReadMemoryWordResponseBody()
{
    ReadMemoryWordResponseBody::setBuffer(buffer);
}

IOBufferPtr ReadMemoryWordResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_data.data);
    return buffer;
}

void ReadMemoryWordResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the word: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_data.data, buffer->data);
}

size_t ReadMemoryWordResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ReadMemoryWordResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | Data: " << m_data.data;
    return out.str();
}

} // namespace V1
} // namespace kv
