#include "protocol/GetSensorSettingsRequestBody.h"

#include "gateway/utilities.h"
#include "protocol/SensorStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

GetSensorSettingsRequestBody::GetSensorSettingsRequestBody(BodyType bodyType)
    : BaseBody(SohType::Cmd, bodyType)
{
}

GetSensorSettingsRequestBody::GetSensorSettingsRequestBody(IOBufferPtr buffer, BodyType bodyType)
    : GetSensorSettingsRequestBody(bodyType)
{
    GetSensorSettingsRequestBody::setBuffer(buffer);
}

IOBufferPtr GetSensorSettingsRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data, m_setting);
    return buffer;
}

void GetSensorSettingsRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_setting, buffer->data);
}

size_t GetSensorSettingsRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetSensorSettingsRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data:"
        << " | Setting: " << StringMaps::mapSensorSettingToString(m_setting);
    return out.str();
}

} // namespace V1
} // namespace kv
