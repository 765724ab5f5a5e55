#include "protocol/GetCameraCapabilityRequestBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

GetCameraCapabilityRequestBody::GetCameraCapabilityRequestBody()
    : BaseBody(SohType::Cmd, BodyType::GetCameraCapability)
{
}

GetCameraCapabilityRequestBody::GetCameraCapabilityRequestBody(IOBufferPtr buffer)
    : GetCameraCapabilityRequestBody()
{
    GetCameraCapabilityRequestBody::setBuffer(buffer);
}

IOBufferPtr GetCameraCapabilityRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_key);
    return buffer;
}

void GetCameraCapabilityRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the key as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_key, buffer->data);
}

size_t GetCameraCapabilityRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetCameraCapabilityRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Capability: " << StringMaps::mapCapabilityToString(m_key);
    return out.str();
}

} // namespace V1
} // namespace kv
