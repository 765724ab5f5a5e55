#include "protocol/WriteMemoryWordRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

WriteMemoryWordRequestBody::WriteMemoryWordRequestBody()
    : BaseBody(SohType::Cmd, BodyType::WriteMemoryWord)
{
}

WriteMemoryWordRequestBody::WriteMemoryWordRequestBody(IOBufferPtr buffer)
    : WriteMemoryWordRequestBody()
{
    WriteMemoryWordRequestBody::setBuffer(buffer);
}

IOBufferPtr WriteMemoryWordRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_address);
    utl::copy::to(buffer->data + 1, m_word);
    return buffer;
}

void WriteMemoryWordRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_address, buffer->data + 0);
    utl::copy::from(&m_word, buffer->data + 1);
}

size_t WriteMemoryWordRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string WriteMemoryWordRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Address: " << static_cast<unsigned>(m_address);
    return out.str();
}

} // namespace V1
} // namespace kv
