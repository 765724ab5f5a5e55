#include "protocol/HeaderBody.h"

#include "gateway/utilities.h"

namespace kv {
namespace V1 {

BaseHeaderBody::BaseHeaderBody() = default;

BaseHeaderBody::~BaseHeaderBody() = default;

std::string BaseHeaderBody::toString() const
{
    std::string text;
    text += "\n\t - Header Type: " + Reflections::messageHeaderToString(m_headerType);
    text += "\n\t - Body Type: " + Reflections::messageBodyToString(m_bodyType);
    text += "\n\t - Footer Type: " + Reflections::messageFooterToString(m_footerType);
    text += "\n\t - Buffer Length: " + std::to_string(getBufferLength());
    text += "\n\t - Body Length: " + std::to_string(m_bodyLength);
    text += "\n\t - Raw Header Buffer : " + getBuffer()->toString(16);
    return text;
}

void BaseHeaderBody::writePreamble(char* buffer) const
{
    utl::copy::to(buffer + 0, m_soh);
    utl::copy::to(buffer + 1, m_bodyType);
    utl::copy::to(buffer + 2, m_headerType);
    utl::copy::to(buffer + 3, m_footerType);
}

void BaseHeaderBody::readPreamble(const char* buffer)
{
    utl::copy::from(&m_soh, buffer + 0);
    utl::copy::from(&m_bodyType, buffer + 1);
    utl::copy::from(&m_headerType, buffer + 2);
    utl::copy::from(&m_footerType, buffer + 3);
}

RequestHeaderBody::RequestHeaderBody()
{
    m_headerType = V1Request;
}

IOBufferPtr RequestHeaderBody::getBuffer() const
{
    auto buffer = IOBuffer::newBuffer(c_length);
    writePreamble(buffer->data);
    utl::copy::to(buffer->data + 4, m_sensorId);
    utl::copy::to(buffer->data + 5, m_bodyLength);
    return buffer;
}

void RequestHeaderBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length < c_length)
        return;
    readPreamble(buffer->data);
    utl::copy::from(&m_sensorId, buffer->data + 4);
    utl::copy::from(&m_bodyLength, buffer->data + 5);
}

ResponseHeaderBody::ResponseHeaderBody() : m_statusCode(EStatusCode::InvalidStatus)
{
    m_headerType = V1Response;
}

IOBufferPtr ResponseHeaderBody::getBuffer() const
{
    auto buffer = IOBuffer::newBuffer(c_length);
    writePreamble(buffer->data);
    utl::copy::to(buffer->data + 4, static_cast<uint8_t>(m_statusCode));
    utl::copy::to(buffer->data + 5, m_sensorId);
    utl::copy::to(buffer->data + 6, m_bodyLength);
    return buffer;
}

void ResponseHeaderBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length < c_length)
        return;
    readPreamble(buffer->data);
    uint8_t status = 0;
    utl::copy::from(&status, buffer->data + 4);
    m_statusCode = static_cast<EStatusCode>(status);
    utl::copy::from(&m_sensorId, buffer->data + 5);
    utl::copy::from(&m_bodyLength, buffer->data + 6);
}

bool ResponseHeaderBody::valid() const
{
    const bool bodyTypeKnown =
        m_bodyType <= LastBodyType || (m_bodyType >= FirstInternalCmd && m_bodyType <= LastInternalCmd);
    return m_soh == Cmd && m_headerType <= LastHeaderType && m_footerType <= LastFooterType && bodyTypeKnown;
}

} // namespace V1
} // namespace kv
