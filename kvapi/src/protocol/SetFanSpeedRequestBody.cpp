#include "protocol/SetFanSpeedRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

SetFanSpeedRequestBody::SetFanSpeedRequestBody()
    : BaseBody(SohType::Cmd, BodyType::SetFanSpeed)
{
}

SetFanSpeedRequestBody::SetFanSpeedRequestBody(IOBufferPtr buffer)
    : SetFanSpeedRequestBody()
{
    SetFanSpeedRequestBody::setBuffer(buffer);
}

IOBufferPtr SetFanSpeedRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_fanSpeed);
    return buffer;
}

void SetFanSpeedRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the field as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_fanSpeed, buffer->data);
}

size_t SetFanSpeedRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SetFanSpeedRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data" << " | Fan Speed: " << static_cast<unsigned>(m_fanSpeed);
    return out.str();
}

} // namespace V1
} // namespace kv
