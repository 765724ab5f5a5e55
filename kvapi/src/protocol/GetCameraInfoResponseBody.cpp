#include "protocol/GetCameraInfoResponseBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

GetCameraInfoResponseBody::GetCameraInfoResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetCameraInfo)
{
}

GetCameraInfoResponseBody::GetCameraInfoResponseBody(IOBufferPtr buffer)
    : GetCameraInfoResponseBody()
{
    GetCameraInfoResponseBody::setBuffer(buffer);
}

IOBufferPtr GetCameraInfoResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    char* p = buffer->data;
    utl::copy::to(p + 0, m_model);
    utl::copy::to(p + 1, m_serialNumber);
    utl::copy::to(p + 5, m_firmwareRevision);
    utl::copy::to(p + 7, m_wifiFirmwareRevision);
    utl::copy::to(p + 9, m_sensorCount);
    return buffer;
}

void GetCameraInfoResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // A payload shorter than the layout is not parsed at all, so the fields never mix
    // values from two frames; bytes beyond the layout are ignored.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    const char* p = buffer->data;
    utl::copy::from(&m_model, p + 0);
    utl::copy::from(&m_serialNumber, p + 1);
    utl::copy::from(&m_firmwareRevision, p + 5);
    utl::copy::from(&m_wifiFirmwareRevision, p + 7);
    utl::copy::from(&m_sensorCount, p + 9);
}

size_t GetCameraInfoResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string GetCameraInfoResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data"
        << " | ModelNumber: " << StringMaps::mapCameraModelToString(m_model)
        << " | Serial Number: " << m_serialNumber
        << " | Firmware Revision: " << m_firmwareRevision
        << " | Wifi FIrmware Revision: " << m_wifiFirmwareRevision
        << " | Sensor Count: " << static_cast<unsigned>(m_sensorCount);
    return out.str();
}

} // namespace V1
} // namespace kv
