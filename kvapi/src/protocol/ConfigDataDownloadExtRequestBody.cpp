#include "protocol/ConfigDataDownloadExtRequestBody.h"

#include "gateway/utilities.h"

namespace kv {
namespace V2 {

ConfigDataDownloadExtRequestBody::ConfigDataDownloadExtRequestBody()
    : BaseBody(SohType::Cmd, BodyType::ConfigDataDownloadExt)
{
}

ConfigDataDownloadExtRequestBody::ConfigDataDownloadExtRequestBody(IOBufferPtr buffer)
    : ConfigDataDownloadExtRequestBody()
{
    ConfigDataDownloadExtRequestBody::setBuffer(buffer);
}

IOBufferPtr ConfigDataDownloadExtRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, getDataLength());
    utl::copy::to(buffer->data + 4, getAddress());
    return buffer;
}

void ConfigDataDownloadExtRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the record: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    uint32_t dataLength = 0;
    uint32_t address = 0;
    utl::copy::from(&dataLength, buffer->data + 0);
    utl::copy::from(&address, buffer->data + 4);
    m_request.dataLength = dataLength;
    m_request.address = address;
}

size_t ConfigDataDownloadExtRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ConfigDataDownloadExtRequestBody::getMessageDataString() const
{
    return "";
}

} // namespace V2
} // namespace kv
