#include "protocol/ConfigDataDownloadRequestBody.h"

#include "gateway/utilities.h"

#include <sstream>

namespace kv {
namespace V1 {

ConfigDataDownloadRequestBody::ConfigDataDownloadRequestBody()
    : BaseBody(SohType::Cmd, BodyType::ConfigDataDownload)
{
}

ConfigDataDownloadRequestBody::ConfigDataDownloadRequestBody(IOBufferPtr buffer)
    : ConfigDataDownloadRequestBody()
{
    ConfigDataDownloadRequestBody::setBuffer(buffer);
}

IOBufferPtr ConfigDataDownloadRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_bodyLength);
    utl::copy::to(buffer->data + 0, m_dataLength);
    utl::copy::to(buffer->data + 1, m_address);
    return buffer;
}

void ConfigDataDownloadRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_bodyLength)
        return;
    utl::copy::from(&m_dataLength, buffer->data + 0);
    utl::copy::from(&m_address, buffer->data + 1);
}

size_t ConfigDataDownloadRequestBody::getBufferLength() const
{
    return c_bodyLength;
}

std::string ConfigDataDownloadRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Address: " << m_address
        << " | Data Length: " << static_cast<unsigned>(m_dataLength);
    return out.str();
}

} // namespace V1
} // namespace kv
