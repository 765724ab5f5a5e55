#include "image/Image.h"

#include "image/ImageExt.h"

#include <utility>

namespace kv {

namespace {

ImageBufferPtr deepCopy(const ImageBufferPtr& buffer)
{
    return buffer ? ImageBuffer::newBuffer(buffer->data, buffer->length) : ImageBufferPtr();
}

} // namespace

Image::Image() = default;

Image::Image(const Image& other)
{
    std::lock_guard<std::mutex> lock(other.m_mutex);
    m_buffer = deepCopy(other.m_buffer);
    m_metadata = other.m_metadata;
}

Image::Image(Image&& other) noexcept
{
    if (this == &other)
        return;
    std::lock_guard<std::mutex> lock(other.m_mutex);
    m_buffer = std::move(other.m_buffer);
    m_metadata = other.m_metadata;
    other.m_buffer.reset();
    other.m_metadata = TImageMetadata();
}

Image::Image(const ImageExt& ext)
    : m_buffer(ext.getBuffer())
    , m_metadata(ext.getImageMetadata() ? ext.getImageMetadata()->toTImageMetadata() : TImageMetadata())
{
}

Image& Image::operator=(const Image& other)
{
    if (this == &other)
        return *this;
    ImageBufferPtr buffer;
    TImageMetadata metadata;
    {
        std::lock_guard<std::mutex> lock(other.m_mutex);
        buffer = deepCopy(other.m_buffer);
        metadata = other.m_metadata;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_buffer = std::move(buffer);
    m_metadata = metadata;
    return *this;
}

Image& Image::operator=(Image&& other) noexcept
{
    if (this == &other)
        return *this;
    std::scoped_lock lock(m_mutex, other.m_mutex);
    m_buffer = std::move(other.m_buffer);
    m_metadata = other.m_metadata;
    other.m_buffer.reset();
    other.m_metadata = TImageMetadata();
    return *this;
}

Image::~Image() = default;

uint16_t* Image::getBufferData()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_buffer ? m_buffer->data : nullptr;
}

uint32_t Image::getBufferLength()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_buffer ? static_cast<uint32_t>(m_buffer->length) : 0;
}

TImageMetadata Image::getMetadata()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_metadata;
}

ImageBufferPtr Image::getBuffer() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_buffer;
}

void Image::setBuffer(ImageBufferPtr buffer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_buffer = std::move(buffer);
}

void Image::setMetadata(const TImageMetadata& metadata)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_metadata = metadata;
}

} // namespace kv
