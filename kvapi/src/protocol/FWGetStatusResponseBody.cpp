#include "protocol/FWGetStatusResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

FWGetStatusResponseBody::FWGetStatusResponseBody()
    : BaseBody(SohType::Cmd, BodyType::FWGetStatus)
{
}

FWGetStatusResponseBody::FWGetStatusResponseBody(IOBufferPtr buffer)
    : FWGetStatusResponseBody()
{
    FWGetStatusResponseBody::setBuffer(buffer);
}

IOBufferPtr FWGetStatusResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_status);
    return buffer;
}

void FWGetStatusResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the field as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_status, buffer->data);
}

size_t FWGetStatusResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string FWGetStatusResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data" << " | Filter Wheel Status: " << StringMaps::mapFWStatusToString(m_status);
    return out.str();
}

} // namespace V1
} // namespace kv
