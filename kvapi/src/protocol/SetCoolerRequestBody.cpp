#include "protocol/SetCoolerRequestBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"
#include "protocol/WireConversions.h"

#include <sstream>

namespace kv {
namespace V1 {

SetCoolerRequestBody::SetCoolerRequestBody()
    : BaseBody(SohType::Cmd, BodyType::SetCooler)
{
}

SetCoolerRequestBody::SetCoolerRequestBody(IOBufferPtr buffer)
    : SetCoolerRequestBody()
{
    SetCoolerRequestBody::setBuffer(buffer);
}

float SetCoolerRequestBody::getSetpoint() const
{
    return WireConversions::temperatureFromWire(m_setpoint);
}

void SetCoolerRequestBody::setSetpoint(float celsius)
{
    m_setpoint = WireConversions::setpointToWire(celsius);
}

IOBufferPtr SetCoolerRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_isEnabled);
    utl::copy::to(buffer->data + 1, m_setpoint);
    return buffer;
}

void SetCoolerRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_isEnabled, buffer->data + 0);
    utl::copy::from(&m_setpoint, buffer->data + 1);
}

size_t SetCoolerRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string SetCoolerRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Cooler Enabled: " << StringMaps::mapYesNo(m_isEnabled)
        << " | Setpoint: " << getSetpoint();
    return out.str();
}

} // namespace V1
} // namespace kv
