#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include <kvapi/kvapi.h>

namespace kv {

// An owned array of elements: bytes for frames, 16-bit words for pixels.
// The elements are zero-filled on allocation; copies are deep.
template <typename T>
class Buffer {
public:
    using Ptr = std::shared_ptr<Buffer<T>>;

    Buffer() = default;
    explicit Buffer(size_t count) : data(count ? new T[count]() : nullptr), length(count) {}
    Buffer(const T* source, size_t count) : Buffer(count)
    {
        if (source && count)
            std::copy(source, source + count, data);
    }
    Buffer(const Buffer& other) : Buffer(other.data, other.length) {}
    Buffer(Buffer&& other) noexcept : data(other.data), length(other.length)
    {
        other.data = nullptr;
        other.length = 0;
    }
    Buffer& operator=(Buffer other) noexcept
    {
        std::swap(data, other.data);
        std::swap(length, other.length);
        return *this;
    }
    ~Buffer() { delete[] data; }

    static Ptr newBuffer(size_t count) { return std::make_shared<Buffer<T>>(count); }
    static Ptr newBuffer(const T* source, size_t count) { return std::make_shared<Buffer<T>>(source, count); }

    // A new buffer holding this one's elements followed by the other's.
    Ptr concatenate(const Buffer& other) const
    {
        auto result = newBuffer(length + other.length);
        if (length)
            std::copy(data, data + length, result->data);
        if (other.length)
            std::copy(other.data, other.data + other.length, result->data + length);
        return result;
    }
    Ptr concatenate(const Ptr& other) const { return other ? concatenate(*other) : newBuffer(data, length); }

    // A copy of up to `count` elements from `offset`. The range is clipped to
    // the elements that exist, so a range past the end gives a shorter (or
    // empty) buffer instead of reading outside the array.
    Ptr extract(size_t offset, size_t count) const
    {
        if (offset >= length)
            return newBuffer(0);
        return newBuffer(data + offset, std::min(count, length - offset));
    }

    // Hex dumps, 16 elements per line, at most `lineLimit` full lines.
    std::string toString(size_t lineLimit) const;
    std::vector<std::string> toStringList(size_t lineLimit) const;

    T* data = nullptr;
    size_t length = 0;
};

template <>
std::string Buffer<char>::toString(size_t lineLimit) const;
template <>
std::vector<std::string> Buffer<char>::toStringList(size_t lineLimit) const;

using IOBuffer = Buffer<char>;
using IOBufferPtr = std::shared_ptr<IOBuffer>;

// Empty if both are empty, the non-empty one itself if only one is, else a new buffer a ‖ b.
IOBufferPtr operator+(const IOBufferPtr& a, const IOBufferPtr& b);

// Pixels: 16-bit values, row after row.
using ImageBuffer = Buffer<uint16_t>;
using ImageBufferPtr = std::shared_ptr<ImageBuffer>;

// What a download needs to know of an image to size itself.
struct DownloadMetadata_t {
    int width = 0;
    int height = 0;
    float eGain = 0.0f;
    int maxPacketSize = 0;  // pixels per packet
    float exposureDuration = 0.0f;
};

// The metadata record a camera sends at the start of every download, in one of two
// versions. The records, and the definitions of this class, are in image/ImageMetadata.*.
class IImageMetadata {
public:
    enum Version : int { V1 = 0, V2 = 1 };

    virtual ~IImageMetadata();

    // Byte length of the record on the wire.
    virtual size_t getSize() const = 0;
    virtual void print(std::ostream& out) const = 0;
    // Parses received bytes; never reads past buffer->length.
    virtual void setBuffer(const IOBufferPtr& buffer) = 0;
    virtual IOBufferPtr getBuffer() const = 0;
    virtual DownloadMetadata_t toDownloadMetadata() const = 0;
    virtual TImageMetadata toTImageMetadata() const = 0;

    // V1 for exactly the V1 record's length, V2 for any other.
    static Version getVersionFromLength(size_t length);
    Version getVersion() const { return m_version; }
    void setVersion(Version version) { m_version = version; }

    operator DownloadMetadata_t() const { return toDownloadMetadata(); }
    operator TImageMetadata() const { return toTImageMetadata(); }

protected:
    explicit IImageMetadata(Version version) : m_version(version) {}
    IImageMetadata(const IImageMetadata&) = default;
    IImageMetadata& operator=(const IImageMetadata&) = default;

    Version m_version;
};

using IImageMetadataPtr = std::shared_ptr<IImageMetadata>;

} // namespace kv
