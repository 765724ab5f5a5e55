#include "protocol/SetSensorCalibrationRequestBody.h"

#include "gateway/utilities.h"

namespace kv {
namespace V1 {

SetSensorCalibrationRequestBody::SetSensorCalibrationRequestBody()
    : SensorCalibrationBody(BodyType::SetSensorCalibration, "Request Data")
{
}

SetSensorCalibrationRequestBody::SetSensorCalibrationRequestBody(IOBufferPtr buffer)
    : SetSensorCalibrationRequestBody()
{
    SetSensorCalibrationRequestBody::setBuffer(buffer);
}

IOBufferPtr SetSensorCalibrationRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    writeCalibration(buffer->data);
    utl::copy::to(buffer->data + c_calibrationLength, m_saveToEeprom);
    return buffer;
}

void SetSensorCalibrationRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    readCalibration(buffer->data);
    utl::copy::from(&m_saveToEeprom, buffer->data + c_calibrationLength);
}

size_t SetSensorCalibrationRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

} // namespace V1
} // namespace kv
