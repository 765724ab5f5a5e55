#include "protocol/ConfigDataDownloadExtResponseBody.h"

#include "gateway/utilities.h"

#include <cstring>

namespace kv {
namespace V2 {

ConfigDataDownloadExtResponseBody::ConfigDataDownloadExtResponseBody()
    : BaseBody(SohType::Cmd, BodyType::ConfigDataDownloadExt)
{
}

ConfigDataDownloadExtResponseBody::ConfigDataDownloadExtResponseBody(IOBufferPtr buffer)
    : ConfigDataDownloadExtResponseBody()
{
    ConfigDataDownloadExtResponseBody::setBuffer(buffer);
}

void ConfigDataDownloadExtResponseBody::getData(unsigned char*& data, size_t& length) const
{
    const size_t size = m_payload.size();
    if (data == nullptr || length < size) {
        // The new buffer first: the caller's one survives a failed allocation.
        unsigned char* replacement = size ? new unsigned char[size] : nullptr;
        delete[] data;
        data = replacement;
    }
    length = size;
    if (size)
        std::memcpy(data, m_payload.data(), size);
}

void ConfigDataDownloadExtResponseBody::setData(const unsigned char* data, size_t length)
{
    if (data == nullptr)
        length = 0;
    m_payload.assign(data, data + length);
}

IOBufferPtr ConfigDataDownloadExtResponseBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(getBufferLength());
    utl::copy::to(buffer->data, static_cast<uint32_t>(m_payload.size()));
    if (!m_payload.empty())
        std::memcpy(buffer->data + c_lengthFieldSize, m_payload.data(), m_payload.size());
    return buffer;
}

void ConfigDataDownloadExtResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->data == nullptr) {
        m_payload.clear();
        return;
    }
    setData(reinterpret_cast<const unsigned char*>(buffer->data), buffer->length);
}

size_t ConfigDataDownloadExtResponseBody::getBufferLength() const
{
    return c_lengthFieldSize + m_payload.size();
}

std::string ConfigDataDownloadExtResponseBody::getMessageDataString() const
{
    return "";
}

} // namespace V2
} // namespace kv
