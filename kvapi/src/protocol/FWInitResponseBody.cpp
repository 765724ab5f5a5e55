#include "protocol/FWInitResponseBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

FWInitResponseBody::FWInitResponseBody()
    : BaseBody(SohType::Cmd, BodyType::FWInit)
{
}

FWInitResponseBody::FWInitResponseBody(IOBufferPtr buffer)
    : FWInitResponseBody()
{
    FWInitResponseBody::setBuffer(buffer);
}

IOBufferPtr FWInitResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_model);
    return buffer;
}

void FWInitResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the field as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_model, buffer->data);
}

size_t FWInitResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string FWInitResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data" << " | Filter Wheel HW Model ID: 0x" << std::uppercase << std::hex << static_cast<unsigned>(m_model);
    return out.str();
}

} // namespace V1
} // namespace kv
