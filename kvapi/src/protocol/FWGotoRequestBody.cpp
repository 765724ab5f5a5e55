#include "protocol/FWGotoRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

FWGotoRequestBody::FWGotoRequestBody()
    : BaseBody(SohType::Cmd, BodyType::FWGoto)
{
}

FWGotoRequestBody::FWGotoRequestBody(IOBufferPtr buffer)
    : FWGotoRequestBody()
{
    FWGotoRequestBody::setBuffer(buffer);
}

IOBufferPtr FWGotoRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_position);
    return buffer;
}

void FWGotoRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the field as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_position, buffer->data);
}

size_t FWGotoRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string FWGotoRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data" << " | New FW Position: " << static_cast<unsigned>(m_position);
    return out.str();
}

} // namespace V1
} // namespace kv
