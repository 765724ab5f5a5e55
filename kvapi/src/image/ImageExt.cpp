#include "image/ImageExt.h"

#include "image/ImageMetadata.h"
#include "protocol/WireConversions.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <iterator>
#include <utility>

namespace kv {

namespace {

using std::chrono::milliseconds;

// Longer exposures are clamped, so that the mid-point stays far inside the range of
// the nanosecond time point (about 31 years).
constexpr int64_t c_maxExposureMs = 1000000000000LL;

// "%Y-%m-%dT%T" of the whole seconds, "." and the hundredths of the rest (rounded down).
std::string formatMidpoint(ImageExt::TimePoint mid)
{
    const auto seconds = std::chrono::floor<std::chrono::seconds>(mid);
    const int64_t rest = std::chrono::duration_cast<milliseconds>(mid - seconds).count();
    const std::time_t whole = static_cast<std::time_t>(seconds.time_since_epoch().count());
    std::tm utc{};
    if (gmtime_r(&whole, &utc) == nullptr)
        return {};
    char text[64];
    const size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%T", &utc);
    if (length == 0)
        return {};
    char hundredths[8];
    std::snprintf(hundredths, sizeof hundredths, ".%02d", static_cast<int>((rest - rest % 10) / 10));
    return std::string(text, length) + hundredths;
}

const TImageMetadataV1* asV1(const IImageMetadataPtr& record)
{
    return dynamic_cast<const TImageMetadataV1*>(record.get());
}

TImageMetadataV2* asV2(const IImageMetadataPtr& record)
{
    return dynamic_cast<TImageMetadataV2*>(record.get());
}

} // namespace

ImageExt::ImageExt() = default;

ImageExt::ImageExt(ImageBufferPtr buffer)
{
    setBuffer(std::move(buffer));
}

ImageExt::ImageExt(Image image)
    : Image(std::move(image))
    , m_pImgMetadata(std::make_shared<TImageMetadataV1>(Image::getMetadata()))
{
}

ImageExt::~ImageExt() = default;

size_t ImageExt::getLayerCount()
{
    if (const TImageMetadataV2* v2 = asV2(m_pImgMetadata))
        return v2->getLayerCount();
    return asV1(m_pImgMetadata) ? 1 : 0;
}

TLayerMetadata ImageExt::getLayerMetadata(uint32_t layer)
{
    if (const TImageMetadataV2* v2 = asV2(m_pImgMetadata))
        return layer < v2->getLayerCount() ? kv::TLayerMetadata(v2->getLayer(layer)) : TLayerMetadata();
    TLayerMetadata derived;
    if (const TImageMetadataV1* v1 = asV1(m_pImgMetadata)) {
        derived.width = v1->getFrameXSize();
        derived.height = v1->getFrameYSize();
        derived.binX = 1;
        derived.binY = 1;
        derived.eGain = v1->getEGain();
        derived.darkCol = v1->getFrameXSize();
        derived.exposureDuration = v1->getExposureDuration();
        derived.exposureDelay = 0;
        derived.exposureWindow = V1::WireConversions::truncateToInteger<uint32_t>(v1->getExposureDuration());
    }
    return derived;
}

void ImageExt::setLayerMetadata(uint32_t layer, const TLayerMetadata& metadata)
{
    TImageMetadataV2* v2 = asV2(m_pImgMetadata);
    if (v2 && layer < v2->getLayerCount())
        v2->setLayer(layer, metadata);
}

TImageMetadata ImageExt::getMetadata()
{
    return m_pImgMetadata ? m_pImgMetadata->toTImageMetadata() : TImageMetadata();
}

void ImageExt::setBuffer(ImageBufferPtr buffer)
{
    Image::setBuffer(std::move(buffer));
}

void ImageExt::setStartTimestamp(TimePoint start, bool useExpStartOffset)
{
    m_startTimestamp = start;
    m_useExpStartOffset = useExpStartOffset;
}

void ImageExt::swap(uint16_t*& data, size_t& length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_buffer)
        m_buffer = std::make_shared<ImageBuffer>();
    std::swap(m_buffer->data, data);
    std::swap(m_buffer->length, length);
}

void ImageExt::swap(ImageBufferPtr& other)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_buffer.swap(other);
}

void ImageExt::setMetadataKeys(const std::string& text)
{
    m_pMetadata = MetadataKey::parseKeys(text);
}

bool ImageExt::hasMetadataKeys()
{
    return m_pMetadata && !m_pMetadata->empty();
}

size_t ImageExt::getMetadataKeyCount()
{
    return m_pMetadata ? m_pMetadata->size() : 0;
}

IMetadataKey* ImageExt::getMetadataKey(size_t index)
{
    if (!m_pMetadata || index >= m_pMetadata->size())
        return nullptr;
    return std::next(m_pMetadata->begin(), static_cast<std::ptrdiff_t>(index))->second.get();
}

IMetadataKey* ImageExt::getMetadataKey(const char* key)
{
    if (!m_pMetadata || key == nullptr)
        return nullptr;
    const auto found = m_pMetadata->find(key);
    return found == m_pMetadata->end() ? nullptr : found->second.get();
}

std::string ImageExt::getExposureMidpointV1() const
{
    const TImageMetadataV1* v1 = asV1(m_pImgMetadata);
    if (!v1)
        return {};
    int64_t exposureMs = V1::WireConversions::truncateToInteger<int64_t>(
        static_cast<double>(v1->getExposureDuration()) * 1000.0);
    exposureMs = std::max(-c_maxExposureMs, std::min(exposureMs, c_maxExposureMs));
    // Half, rounded toward minus infinity.
    const int64_t half = exposureMs >= 0 ? exposureMs / 2 : -((-exposureMs + 1) / 2);
    return formatMidpoint(m_startTimestamp + milliseconds(half));
}

std::string ImageExt::getExposureMidpointV2() const
{
    const TImageMetadataV2* v2 = asV2(m_pImgMetadata);
    if (!v2 || v2->getLayerCount() == 0)
        return {};
    const TImageMetadataV2::TLayerMetadata& first = v2->getLayer(0);
    const auto offset = milliseconds(static_cast<int64_t>(first.getExposureDelay())) +
                        milliseconds(static_cast<int64_t>(first.getExposureWindow() / 2));
    return formatMidpoint(m_startTimestamp + offset);
}

void ImageExt::getExpMidpoint(char* buffer, size_t& length)
{
    length = 0;
    if (!m_pImgMetadata || buffer == nullptr)
        return;
    const std::string text = asV2(m_pImgMetadata) ? getExposureMidpointV2() : getExposureMidpointV1();
    std::memcpy(buffer, text.data(), text.size());
    length = text.size();
}

} // namespace kv
