#include "protocol/PulseGuideRequestBody.h"

#include "gateway/utilities.h"
#include "protocol/CameraStringMaps.h"

#include <sstream>

namespace kv {
namespace V1 {

PulseGuideRequestBody::PulseGuideRequestBody()
    : BaseBody(SohType::Cmd, BodyType::PulseGuide)
{
}

PulseGuideRequestBody::PulseGuideRequestBody(IOBufferPtr buffer)
    : PulseGuideRequestBody()
{
    PulseGuideRequestBody::setBuffer(buffer);
}

IOBufferPtr PulseGuideRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_guideDirection);
    utl::copy::to(buffer->data + 1, m_guideDuration);
    utl::copy::to(buffer->data + 5, m_abort);
    return buffer;
}

void PulseGuideRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_guideDirection, buffer->data + 0);
    utl::copy::from(&m_guideDuration, buffer->data + 1);
    utl::copy::from(&m_abort, buffer->data + 5);
}

size_t PulseGuideRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string PulseGuideRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Direction: " << StringMaps::mapPulseGuideDirectionToString(m_guideDirection)
        << " | Duration: " << m_guideDuration
        << " | Abort: " << StringMaps::mapYesNo(m_abort);
    return out.str();
}

} // namespace V1
} // namespace kv
