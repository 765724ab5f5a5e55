#include "protocol/GetCoolerStateResponseBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

GetCoolerStateResponseBody::GetCoolerStateResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetCoolerState)
{
}

GetCoolerStateResponseBody::GetCoolerStateResponseBody(IOBufferPtr buffer)
    : GetCoolerStateResponseBody()
{
    GetCoolerStateResponseBody::setBuffer(buffer);
}

IOBufferPtr GetCoolerStateResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_enabled);
    utl::copy::to(buffer->data + 1, m_setpoint);
    return buffer;
}

void GetCoolerStateResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_enabled, buffer->data + 0);
    utl::copy::from(&m_setpoint, buffer->data + 1);
}

size_t GetCoolerStateResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetCoolerStateResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Enabled: " << (m_enabled ? 1 : 0) << ", Setpoint: " << m_setpoint;
    return out.str();
}

} // namespace V1
} // namespace kv
