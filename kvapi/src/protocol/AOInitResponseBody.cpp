#include "protocol/AOInitResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

AOInitResponseBody::AOInitResponseBody()
    : BaseBody(SohType::Cmd, BodyType::AOInit)
{
}

AOInitResponseBody::AOInitResponseBody(IOBufferPtr buffer)
    : AOInitResponseBody()
{
    AOInitResponseBody::setBuffer(buffer);
}

IOBufferPtr AOInitResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_model);
    return buffer;
}

void AOInitResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // An empty payload leaves the field as it is.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_model, buffer->data);
}

size_t AOInitResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string AOInitResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data" << " | AO Model: " << StringMaps::mapAOModelToString(m_model);
    return out.str();
}

} // namespace V1
} // namespace kv
