#include "protocol/ConfigControlResponseBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

ConfigControlResponseBody::ConfigControlResponseBody(BodyType bodyType)
    : BaseBody(SohType::Cmd, bodyType)
{
}

ConfigControlResponseBody::ConfigControlResponseBody(IOBufferPtr buffer, BodyType bodyType)
    : ConfigControlResponseBody(bodyType)
{
    ConfigControlResponseBody::setBuffer(buffer);
}

IOBufferPtr ConfigControlResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_statusRequest);
    return buffer;
}

void ConfigControlResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_statusRequest, buffer->data);
}

size_t ConfigControlResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ConfigControlResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | Status Request: " << static_cast<unsigned>(m_statusRequest);
    return out.str();
}

} // namespace V1
} // namespace kv
