#include "protocol/ConfigDataDownloadResponseBody.h"

#include <algorithm>
#include <cstring>

namespace kv {
namespace V1 {

ConfigDataDownloadResponseBody::ConfigDataDownloadResponseBody()
    : BaseBody(SohType::Cmd, BodyType::ConfigDataDownload)
{
}

ConfigDataDownloadResponseBody::ConfigDataDownloadResponseBody(IOBufferPtr buffer)
    : ConfigDataDownloadResponseBody()
{
    ConfigDataDownloadResponseBody::setBuffer(buffer);
}

void ConfigDataDownloadResponseBody::setData(const unsigned char* data, size_t length)
{
    const size_t copied = data ? std::min(length, c_bodyLength) : 0;
    m_data.fill(0);
    if (copied)
        std::memcpy(m_data.data(), data, copied);
}

IOBufferPtr ConfigDataDownloadResponseBody::getBuffer() const
{
    return IOBuffer::newBuffer(reinterpret_cast<const char*>(m_data.data()), c_bodyLength);
}

void ConfigDataDownloadResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    // No bytes, nothing parsed; a longer body is cut at the array, a shorter one
    // leaves zeros after its bytes rather than those of an earlier block.
    if (!buffer || buffer->length == 0)
        return;
    setData(reinterpret_cast<const unsigned char*>(buffer->data), buffer->length);
}

size_t ConfigDataDownloadResponseBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ConfigDataDownloadResponseBody::getMessageDataString() const
{
    return "";
}

} // namespace V1
} // namespace kv
