#include "protocol/StartExposureRequestBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

StartExposureRequestBody::StartExposureRequestBody()
    : BaseBody(SohType::Cmd, BodyType::StartExposure)
{
}

StartExposureRequestBody::StartExposureRequestBody(IOBufferPtr buffer)
    : StartExposureRequestBody()
{
    StartExposureRequestBody::setBuffer(buffer);
}

IOBufferPtr StartExposureRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_duration);
    utl::copy::to(buffer->data + 4, m_exposureFlags);
    utl::copy::to(buffer->data + 5, m_readoutMode);
    return buffer;
}

void StartExposureRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_duration, buffer->data + 0);
    utl::copy::from(&m_exposureFlags, buffer->data + 4);
    utl::copy::from(&m_readoutMode, buffer->data + 5);
}

size_t StartExposureRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string StartExposureRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Exposure Duration: " << m_duration
        << " | Readout Mode: " << static_cast<unsigned>(m_readoutMode)
        << " | Light Frame: " << StringMaps::mapYesNo(getIsLightFrame())
        << " | Rbi Enabled: " << StringMaps::mapYesNo(getIsRbiEnabled());
    return out.str();
}

} // namespace V1
} // namespace kv
