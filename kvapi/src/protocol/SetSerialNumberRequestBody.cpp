#include "protocol/SetSerialNumberRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

SetSerialNumberRequestBody::SetSerialNumberRequestBody()
    : BaseBody(SohType::Cmd, BodyType::SetSerialNumber)
{
}

SetSerialNumberRequestBody::SetSerialNumberRequestBody(IOBufferPtr buffer)
    : SetSerialNumberRequestBody()
{
    SetSerialNumberRequestBody::setBuffer(buffer);
}

IOBufferPtr SetSerialNumberRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_serialNumber);
    return buffer;
}

void SetSerialNumberRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the number: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_serialNumber, buffer->data);
}

size_t SetSerialNumberRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SetSerialNumberRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Sensor Serial Number: " << m_serialNumber;
    return out.str();
}

} // namespace V1
} // namespace kv
