#pragma once

#include "protocol/BaseBody.h"

#include <memory>
#include <string>
#include <utility>

namespace kv {
namespace V1 {

// Answer to StartDownload: the metadata record of the image about to be sent. The
// record's version follows from the payload length.
class StartDownloadResponseBody : public BaseBody {
public:
    StartDownloadResponseBody();
    // Throws std::invalid_argument for an empty payload, like setBuffer.
    explicit StartDownloadResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    // Exactly 16 bytes give a V1 record, any other length a V2 record; an empty payload
    // throws std::invalid_argument.
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    // Shared with the download and the image; never null after parsing.
    IImageMetadataPtr getImageMetadata() const { return m_pImgMetadata; }
    void setImageMetadata(IImageMetadataPtr metadata) { m_pImgMetadata = std::move(metadata); }

private:
    IImageMetadataPtr m_pImgMetadata;
};

} // namespace V1
} // namespace kv
