#include "protocol/GetImageMetadataResponseBody.h"

#include <cstring>

namespace kv {
namespace V1 {

GetImageMetadataResponseBody::GetImageMetadataResponseBody()
    : BaseBody(SohType::Cmd, BodyType::GetImageMetadata)
{
}

GetImageMetadataResponseBody::GetImageMetadataResponseBody(IOBufferPtr buffer)
    : GetImageMetadataResponseBody()
{
    GetImageMetadataResponseBody::setBuffer(buffer);
}

IOBufferPtr GetImageMetadataResponseBody::getBuffer() const
{
    // Zero-filled: the last byte terminates the text.
    IOBufferPtr buffer = IOBuffer::newBuffer(getBufferLength());
    std::memcpy(buffer->data, m_metadata.data(), m_metadata.size());
    return buffer;
}

void GetImageMetadataResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->data == nullptr) {
        m_metadata.clear();
        return;
    }
    // Bounded by the received bytes: the camera's text need not be terminated.
    const void* terminator = std::memchr(buffer->data, '\0', buffer->length);
    const size_t length = terminator ? static_cast<size_t>(static_cast<const char*>(terminator) - buffer->data)
                                     : buffer->length;
    m_metadata.assign(buffer->data, length);
}

size_t GetImageMetadataResponseBody::getBufferLength() const
{
    return m_metadata.size() + 1;
}

std::string GetImageMetadataResponseBody::getMessageDataString() const
{
    std::string text = m_metadata;
    for (char& c : text) {
        if (c == '\x01')
            c = '=';
        else if (c == '\x02')
            c = ';';
    }
    return text;
}

void GetImageMetadataResponseBody::setMetadata(const std::string& text)
{
    m_metadata = text.substr(0, text.find('\0'));
}

} // namespace V1
} // namespace kv
