#include "protocol/EchoBody.h"

#include <algorithm>

namespace kv {
namespace V1 {

EchoBody::EchoBody()
    : BaseBody(SohType::Cmd, BodyType::EchoRequest)
{
}

EchoBody::EchoBody(const char* data, uint8_t length)
    : EchoBody()
{
    setData(data, length);
}

EchoBody::EchoBody(IOBufferPtr buffer)
    : EchoBody()
{
    EchoBody::setBuffer(buffer);
}

void EchoBody::setData(const char* data, uint8_t length)
{
    if (data == nullptr)
        length = 0;
    m_data.assign(data, data + length);
    m_length = length;
}

IOBufferPtr EchoBody::getBuffer() const
{
    if (m_length == 0)
        return IOBufferPtr();
    return IOBuffer::newBuffer(m_data.data(), m_length);
}

void EchoBody::setBuffer(const IOBufferPtr& buffer)
{
    // The whole body is the payload; what does not fit the one-byte length (more than
    // 255 bytes) is dropped.
    if (!buffer || buffer->data == nullptr) {
        setData(nullptr, 0);
        return;
    }
    setData(buffer->data, static_cast<uint8_t>(std::min<size_t>(buffer->length, c_maxLength)));
}

size_t EchoBody::getBufferLength() const
{
    return m_length;
}

} // namespace V1
} // namespace kv
