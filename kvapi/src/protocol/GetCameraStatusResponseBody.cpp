#include "protocol/GetCameraStatusResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"
#include "protocol/WireConversions.h"

#include <sstream>

namespace kv {
namespace V1 {

GetCameraStatusResponseBody::GetCameraStatusResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetCameraStatus)
{
}

GetCameraStatusResponseBody::GetCameraStatusResponseBody(IOBufferPtr buffer, bool convertCoolerPower)
    : GetCameraStatusResponseBody()
{
    m_convertCoolerPower = convertCoolerPower;
    GetCameraStatusResponseBody::setBuffer(buffer);
}

IOBufferPtr GetCameraStatusResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    char* p = buffer->data;
    utl::copy::to(p + 0, m_mainSensorState);
    utl::copy::to(p + 1, m_extSensorState);
    utl::copy::to(p + 2, WireConversions::temperatureToWire(m_sensorTemperature));
    utl::copy::to(p + 4, WireConversions::coolerPowerToWire(m_coolerPower, m_convertCoolerPower));
    utl::copy::to(p + 5, WireConversions::temperatureToWire(m_heatSinkTemperature));
    utl::copy::to(p + 7, WireConversions::inputVoltageToWire(m_inputVoltage));
    utl::copy::to(p + 9, m_pulseGuideStatus);
    utl::copy::to(p + 10, m_flag);
    utl::copy::to(p + 11, m_shutterStatus);
    return buffer;
}

void GetCameraStatusResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    const char* p = buffer->data;
    int16_t sensorTemperature = 0;
    uint8_t coolerPower = 0;
    int16_t heatSinkTemperature = 0;
    uint16_t inputVoltage = 0;
    utl::copy::from(&m_mainSensorState, p + 0);
    utl::copy::from(&m_extSensorState, p + 1);
    utl::copy::from(&sensorTemperature, p + 2);
    utl::copy::from(&coolerPower, p + 4);
    utl::copy::from(&heatSinkTemperature, p + 5);
    utl::copy::from(&inputVoltage, p + 7);
    utl::copy::from(&m_pulseGuideStatus, p + 9);
    utl::copy::from(&m_flag, p + 10);
    utl::copy::from(&m_shutterStatus, p + 11);
    m_sensorTemperature = WireConversions::temperatureFromWire(sensorTemperature);
    m_coolerPower = WireConversions::coolerPowerFromWire(coolerPower, m_convertCoolerPower);
    m_heatSinkTemperature = WireConversions::temperatureFromWire(heatSinkTemperature);
    m_inputVoltage = WireConversions::inputVoltageFromWire(inputVoltage);
}

size_t GetCameraStatusResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

void GetCameraStatusResponseBody::adoptReadSettings(const BaseBody& previous)
{
    BaseBody::adoptReadSettings(previous);
    if (const auto* status = dynamic_cast<const GetCameraStatusResponseBody*>(&previous))
        m_convertCoolerPower = status->m_convertCoolerPower;
}

std::string GetCameraStatusResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | Main sensor state: " << StringMaps::mapSensorStatusToString(m_mainSensorState)
        << " | External sensor state: " << StringMaps::mapSensorStatusToString(m_extSensorState)
        << " | Sensor temp: " << m_sensorTemperature
        << " | Cooler power: " << m_coolerPower
        << " | Heatsink Temp: " << m_heatSinkTemperature
        << " | Input voltage: " << m_inputVoltage
        << " | Pulse guide status: " << static_cast<unsigned>(m_pulseGuideStatus)
        << " | Flag: " << static_cast<unsigned>(m_flag)
        << " | Shutter status: " << StringMaps::mapShutterStatusToString(m_shutterStatus);
    return out.str();
}

} // namespace V1
} // namespace kv
