#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

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

} // namespace kv
