#include "protocol/AOGetStatusResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

AOGetStatusResponseBody::AOGetStatusResponseBody()
    : BaseBody(SohType::Cmd, BodyType::AOGetStatus)
{
}

AOGetStatusResponseBody::AOGetStatusResponseBody(IOBufferPtr buffer)
    : AOGetStatusResponseBody()
{
    AOGetStatusResponseBody::setBuffer(buffer);
}

IOBufferPtr AOGetStatusResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_status);
    return buffer;
}

void AOGetStatusResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the field as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_status, buffer->data);
}

size_t AOGetStatusResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string AOGetStatusResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data" << " | AO Status: " << StringMaps::mapAOStatusToString(m_status);
    return out.str();
}

} // namespace V1
} // namespace kv
