#include "protocol/CameraOptionBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

CameraOptionBody::CameraOptionBody(BodyType bodyType, const char* dataLabel)
    : BaseBody(SohType::Cmd, bodyType)
    , m_dataLabel(dataLabel)
{
}

IOBufferPtr CameraOptionBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_key);
    utl::copy::to(buffer->data + 1, m_value);
    return buffer;
}

void CameraOptionBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_key, buffer->data + 0);
    utl::copy::from(&m_value, buffer->data + 1);
}

size_t CameraOptionBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string CameraOptionBody::getMessageDataString() const
{
    std::ostringstream out;
    out << m_dataLabel
        << " | Option: " << StringMaps::mapCameraOptionToString(m_key)
        << " | Value : " << m_value;
    return out.str();
}

} // namespace V1
} // namespace kv
