#include "protocol/GetCameraCapabilityResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

GetCameraCapabilityResponseBody::GetCameraCapabilityResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetCameraCapability)
{
}

GetCameraCapabilityResponseBody::GetCameraCapabilityResponseBody(IOBufferPtr buffer)
    : GetCameraCapabilityResponseBody()
{
    GetCameraCapabilityResponseBody::setBuffer(buffer);
}

IOBufferPtr GetCameraCapabilityResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_key);
    utl::copy::to(buffer->data + 1, static_cast<uint16_t>(m_value ? 1 : 0));
    return buffer;
}

void GetCameraCapabilityResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    uint16_t value = 0;
    utl::copy::from(&m_key, buffer->data + 0);
    utl::copy::from(&value, buffer->data + 1);
    m_value = value != 0;
}

size_t GetCameraCapabilityResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetCameraCapabilityResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | Capability: " << StringMaps::mapCapabilityToString(m_key)
        << " | Enabled: " << StringMaps::mapYesNo(m_value);
    return out.str();
}

} // namespace V1
} // namespace kv
