#include "protocol/StartDownloadResponseBody.h"

#include "image/ImageMetadata.h"

#include <sstream>
#include <stdexcept>

namespace kv {
namespace V1 {

StartDownloadResponseBody::StartDownloadResponseBody()
    : BaseBody(SohType::Cmd, BodyType::StartDownload)
    , m_pImgMetadata(std::make_shared<TImageMetadataV1>())
{
}

StartDownloadResponseBody::StartDownloadResponseBody(IOBufferPtr buffer)
    : StartDownloadResponseBody()
{
    StartDownloadResponseBody::setBuffer(buffer);
}

IOBufferPtr StartDownloadResponseBody::getBuffer() const
{
    return m_pImgMetadata ? m_pImgMetadata->getBuffer() : IOBufferPtr();
}

void StartDownloadResponseBody::setBuffer(const IOBufferPtr& buffer)
{
    if (!buffer || buffer->length == 0)
        throw std::invalid_argument("StartDownload's body buffer was empty");
    IImageMetadataPtr record;
    if (IImageMetadata::getVersionFromLength(buffer->length) == IImageMetadata::V1)
        record = std::make_shared<TImageMetadataV1>();
    else
        record = std::make_shared<TImageMetadataV2>();
    record->setBuffer(buffer);
    m_pImgMetadata = std::move(record);
}

size_t StartDownloadResponseBody::getBufferLength() const
{
    return m_pImgMetadata ? m_pImgMetadata->getSize() : 0;
}

std::string StartDownloadResponseBody::getMessageDataString() const
{
    std::ostringstream out;
    out << "Response Data";
    if (m_pImgMetadata)
        m_pImgMetadata->print(out);
    return out.str();
}

} // namespace V1
} // namespace kv
