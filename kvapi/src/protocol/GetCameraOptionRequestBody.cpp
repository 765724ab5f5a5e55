#include "protocol/GetCameraOptionRequestBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

GetCameraOptionRequestBody::GetCameraOptionRequestBody()
    : BaseBody(SohType::Cmd, BodyType::GetCameraOption)
{
}

GetCameraOptionRequestBody::GetCameraOptionRequestBody(IOBufferPtr buffer)
    : GetCameraOptionRequestBody()
{
    GetCameraOptionRequestBody::setBuffer(buffer);
}

IOBufferPtr GetCameraOptionRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_key);
    return buffer;
}

void GetCameraOptionRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the key as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_key, buffer->data);
}

size_t GetCameraOptionRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetCameraOptionRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Option: " << StringMaps::mapCameraOptionToString(m_key);
    return out.str();
}

} // namespace V1
} // namespace kv
