#include "protocol/ShutterControlRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

ShutterControlRequestBody::ShutterControlRequestBody()
    : BaseBody(SohType::Cmd, BodyType::ShutterControl)
{
}

ShutterControlRequestBody::ShutterControlRequestBody(IOBufferPtr buffer)
    : ShutterControlRequestBody()
{
    ShutterControlRequestBody::setBuffer(buffer);
}

IOBufferPtr ShutterControlRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_action);
    return buffer;
}

void ShutterControlRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the field as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_action, buffer->data);
}

size_t ShutterControlRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ShutterControlRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data" << " | Shutter Action: " << static_cast<unsigned>(m_action);
    return out.str();
}

} // namespace V1
} // namespace kv
