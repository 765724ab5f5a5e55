#include "protocol/BulkUploadRequestBody.h"

#include "gateway/utilities.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace kv {
namespace V2 {

BulkUploadRequestBody::BulkUploadRequestBody()
    : BaseBody(SohType::Cmd, BodyType::BulkUpload)
{
}

BulkUploadRequestBody::BulkUploadRequestBody(IOBufferPtr buffer)
    : BulkUploadRequestBody()
{
    BulkUploadRequestBody::setBuffer(buffer);
}

void BulkUploadRequestBody::setDataLength(uint32_t length)
{
    m_dataLength = static_cast<uint32_t>(std::min<size_t>(length, c_maxDataLength));
}

void BulkUploadRequestBody::setData(const unsigned char* data, size_t length)
{
    const size_t copied = data ? std::min(length, c_maxDataLength) : 0;
    m_data.fill(0);
    if (copied)
        std::memcpy(m_data.data(), data, copied);
    m_dataLength = static_cast<uint32_t>(copied);
}

IOBufferPtr BulkUploadRequestBody::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(getBufferLength());
    char* p = buffer->data;
    utl::copy::to(p + 0, m_dataLength);
    utl::copy::to(p + 4, m_address);
    std::memcpy(p + c_headerLength, m_data.data(), m_dataLength);
    return buffer;
}

void BulkUploadRequestBody::setBuffer(const IOBufferPtr& buffer)
{
    // Without length and address nothing is parsed.
    if (!buffer || buffer->length < c_headerLength)
        return;
    const char* p = buffer->data;
    uint32_t dataLength = 0;
    utl::copy::from(&dataLength, p + 0);
    utl::copy::from(&m_address, p + 4);
    // The length is clamped to the array and to the bytes present.
    const size_t present = buffer->length - c_headerLength;
    m_dataLength = static_cast<uint32_t>(std::min({size_t{dataLength}, c_maxDataLength, present}));
    m_data.fill(0);
    std::memcpy(m_data.data(), p + c_headerLength, m_dataLength);
}

size_t BulkUploadRequestBody::getBufferLength() const
{
    return c_headerLength + m_dataLength;
}

std::string BulkUploadRequestBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Request Data"
        << " | Address: " << m_address
        << " | Data Length: " << m_dataLength;
    return out.str();
}

} // namespace V2
} // namespace kv
