#pragma once

#include "image/Image.h"
#include "image/MetadataKey.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kv {

// The image as every current download produces it: pixels, the metadata record the
// camera sent, the exposure start time stamp and optional key/value metadata. Filled
// by one thread before it is published, so its own accessors take no lock.
class ImageExt : public kv::V2::IImage, public Image {
public:
    using TimePoint = std::chrono::time_point<std::chrono::system_clock, std::chrono::nanoseconds>;

    ImageExt();
    explicit ImageExt(ImageBufferPtr buffer);
    // A deep copy of image, with a V1 record built from its metadata.
    explicit ImageExt(Image image);

    size_t getLayerCount() override;
    // A zeroed layer without a record or for a V2 layer index beyond the count.
    TLayerMetadata getLayerMetadata(uint32_t layer) override;
    // Writes the exposure mid-point as "YYYY-MM-DDThh:mm:ss.hh" (UTC, hundredths),
    // without a terminating zero; length is set to the characters written (0 when there
    // is no record or no buffer). The buffer must have room for 22 characters (more
    // for years past 9999).
    void getExpMidpoint(char* buffer, size_t& length) override;
    bool hasMetadataKeys() override;
    size_t getMetadataKeyCount() override;
    // Owned by the image's map. Null without a map or for an index beyond the count.
    IMetadataKey* getMetadataKey(size_t index) override;
    // Null without a map, for a null key or one not present.
    IMetadataKey* getMetadataKey(const char* key) override;
    ~ImageExt() override;
    // Derived from the record, not from Image's own metadata; zeros without a record.
    TImageMetadata getMetadata() override;

    IImageMetadataPtr getImageMetadata() const { return m_pImgMetadata; }
    void setImageMetadata(IImageMetadataPtr metadata) { m_pImgMetadata = std::move(metadata); }
    void setBuffer(ImageBufferPtr buffer);
    TimePoint getStartTimestamp() const { return m_startTimestamp; }
    void setStartTimestamp(TimePoint start, bool useExpStartOffset);
    bool getUseExpStartOffset() const { return m_useExpStartOffset; }
    // Only for a V2 record and a layer below its count; otherwise nothing happens.
    void setLayerMetadata(uint32_t layer, const TLayerMetadata& metadata);
    // Hands the buffer's array and element count to the caller in exchange for the
    // caller's, which the buffer then owns.
    void swap(uint16_t*& data, size_t& length);
    void swap(ImageBufferPtr& other);
    void setMetadataKeys(MetadataKVMapPtr keys) { m_pMetadata = std::move(keys); }
    // Replaces the map by the pairs of a key/value metadata text.
    void setMetadataKeys(const std::string& text);

    // The mid-point text for one record kind (see getExpMidpoint).
    std::string getExposureMidpointV1() const;
    std::string getExposureMidpointV2() const;

private:
    IImageMetadataPtr m_pImgMetadata;
    TimePoint m_startTimestamp;
    MetadataKVMapPtr m_pMetadata;
    bool m_useExpStartOffset = true;
};

using ImageExtPtr = std::shared_ptr<ImageExt>;

} // namespace kv
