#pragma once

#include "gateway/types.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <memory>
#include <mutex>

namespace kv {

class ImageExt;

// A plain image: 16-bit pixels row after row and a summary of what they are. The
// buffer is shared with whoever else holds its pointer; copies are deep.
class Image : public kv::IImage {
public:
    Image();
    Image(const Image& other);
    Image(Image&& other) noexcept;
    // Shares ext's buffer; the metadata is the one derived from ext's record.
    Image(const ImageExt& ext);
    Image& operator=(const Image& other);
    Image& operator=(Image&& other) noexcept;

    // Valid while some owner keeps the buffer; null without one.
    uint16_t* getBufferData() override;
    uint32_t getBufferLength() override;
    TImageMetadata getMetadata() override;
    virtual ~Image();

    ImageBufferPtr getBuffer() const;
    void setBuffer(ImageBufferPtr buffer);
    void setMetadata(const TImageMetadata& metadata);

protected:
    ImageBufferPtr m_buffer;
    TImageMetadata m_metadata;
    mutable std::mutex m_mutex;
};

using ImagePtr = std::shared_ptr<Image>;

} // namespace kv
