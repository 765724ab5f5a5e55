#include "protocol/ConfigDataUploadRequestBody.h"

#include "gateway/utilities.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace kv {
namespace V1 {

ConfigDataUploadRequestBody::ConfigDataUploadRequestBody()
    : BaseBody(SohType::Cmd, BodyType::ConfigDataUpload)
{
}

ConfigDataUploadRequestBody::ConfigDataUploadRequestBody(IOBufferPtr buffer)
    : ConfigDataUploadRequestBody()
{
    ConfigDataUploadRequestBody::setBuffer(buffer);
}

void ConfigDataUploadRequestBody::setData(const unsigned char* data, size_t length)
{
    const size_t copied = data ? std::min(length, c_maxDataLength) : 0;
    m_data.fill(0);
    if (copied)
        std::memcpy(m_data.data(), data, copied);
    m_dataLength = static_cast<uint8_t>(copied);
}

IOBufferPtr ConfigDataUploadRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(getBufferLength());
    char* p = buffer->data;
    utl::copy::to(p + 0, m_dataLength);
    utl::copy::to(p + 1, m_address);
    std::memcpy(p + c_headerLength, m_data.data(), std::min<size_t>(m_dataLength, c_maxDataLength));
    return buffer;
}

void ConfigDataUploadRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Without length and address nothing is parsed.
    if (!buffer || buffer->length < c_headerLength)
        return;
    const char* p = buffer->data;
    uint8_t dataLength = 0;
    utl::copy::from(&dataLength, p + 0);
    utl::copy::from(&m_address, p + 1);
    // The length is clamped to the array and to the bytes present, so that the body
    // serialises back to what it holds.
    const size_t present = buffer->length - c_headerLength;
    m_dataLength = static_cast<uint8_t>(std::min({size_t{dataLength}, c_maxDataLength, present}));
    m_data.fill(0);
    std::memcpy(m_data.data(), p + c_headerLength, m_dataLength);
}

size_t ConfigDataUploadRequestBody::getBufferLength() const
{
    return c_headerLength + m_dataLength;
}

std::string ConfigDataUploadRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Address: " << m_address
        << " | Data Length: " << static_cast<unsigned>(m_dataLength);
    return out.str();
}

} // namespace V1
} // namespace kv
