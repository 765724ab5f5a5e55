#include "protocol/SensorSettingBody.h"

#include "gateway/utilities.h"
#include "protocol/SensorStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

SensorSettingBody::SensorSettingBody(BodyType bodyType, const char* dataLabel, const char* valueLabel)
    : BaseBody(SohType::Cmd, bodyType)
    , m_dataLabel(dataLabel)
    , m_valueLabel(valueLabel)
{
}

IOBufferPtr SensorSettingBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_setting);
    utl::copy::to(buffer->data + 1, m_value);
    return buffer;
}

void SensorSettingBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_setting, buffer->data + 0);
    utl::copy::from(&m_value, buffer->data + 1);
}

size_t SensorSettingBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SensorSettingBody::getMessageDataString() const
{
    std::ostringstream out;
    out << m_dataLabel
        << " | Sensor Setting: " << StringMaps::mapSensorSettingToString(m_setting)
        << m_valueLabel << m_value;
    return out.str();
}

} // namespace V1
} // namespace kv
