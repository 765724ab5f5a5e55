#include "image/ImageMetadata.h"

#include "gateway/utilities.h"

#include <algorithm>
#include <climits>
#include <ostream>
#include <stdexcept>

namespace kv {

namespace {

// Sizes of hostile records must neither overflow nor turn negative.
int saturateToInt(uint64_t value)
{
    return value > static_cast<uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

} // namespace

// IImageMetadata (declared in gateway/types.h).

IImageMetadata::~IImageMetadata() = default;

IImageMetadata::Version IImageMetadata::getVersionFromLength(size_t length)
{
    return length == TImageMetadataV1::size() ? V1 : V2;
}

// TImageMetadataV1

TImageMetadataV1::TImageMetadataV1()
    : IImageMetadata(V1)
{
}

TImageMetadataV1::TImageMetadataV1(const TImageMetadata& metadata)
    : IImageMetadata(V1)
    , m_frameXSize(static_cast<uint16_t>(metadata.width))
    , m_frameYSize(static_cast<uint16_t>(metadata.height))
    , m_eGain(metadata.eGain)
    , m_maxPacketSize(metadata.width * metadata.height)
    , m_exposureDuration(metadata.exposureDuration)
{
}

size_t TImageMetadataV1::getSize() const
{
    return c_size;
}

void TImageMetadataV1::print(std::ostream& out) const
{
    out << " | Frame Size (X): " << m_frameXSize
        << " | Frame Size (Y): " << m_frameYSize
        << " | EGainL: " << m_eGain
        << " | Max Packet Size: " << m_maxPacketSize
        << " | Exposure Duration: " << m_exposureDuration;
}

void TImageMetadataV1::setBuffer(const IOBufferPtr& buffer)
{
    // Too short for the layout: nothing is parsed.
    if (!buffer || buffer->length < c_size)
        return;
    const char* p = buffer->data;
    utl::copy::from(&m_frameXSize, p + 0);
    utl::copy::from(&m_frameYSize, p + 2);
    utl::copy::from(&m_eGain, p + 4);
    utl::copy::from(&m_maxPacketSize, p + 8);
    utl::copy::from(&m_exposureDuration, p + 12);
}

IOBufferPtr TImageMetadataV1::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(c_size);
    char* p = buffer->data;
    utl::copy::to(p + 0, m_frameXSize);
    utl::copy::to(p + 2, m_frameYSize);
    utl::copy::to(p + 4, m_eGain);
    utl::copy::to(p + 8, m_maxPacketSize);
    utl::copy::to(p + 12, m_exposureDuration);
    return buffer;
}

DownloadMetadata_t TImageMetadataV1::toDownloadMetadata() const
{
    DownloadMetadata_t download;
    download.width = m_frameXSize;
    download.height = m_frameYSize;
    download.eGain = m_eGain;
    download.maxPacketSize = saturateToInt(m_maxPacketSize);
    download.exposureDuration = m_exposureDuration;
    return download;
}

TImageMetadata TImageMetadataV1::toTImageMetadata() const
{
    TImageMetadata metadata;
    metadata.width = m_frameXSize;
    metadata.height = m_frameYSize;
    metadata.binX = 1;
    metadata.binY = 1;
    metadata.eGain = m_eGain;
    metadata.exposureDuration = m_exposureDuration;
    return metadata;
}

// TImageMetadataV2::TLayerMetadata

TImageMetadataV2::TLayerMetadata::TLayerMetadata(const kv::TLayerMetadata& layer)
    : m_width(layer.width)
    , m_height(layer.height)
    , m_binX(layer.binX)
    , m_binY(layer.binY)
    , m_eGain(layer.eGain)
    , m_darkCol(layer.darkCol)
    , m_exposureDuration(layer.exposureDuration)
    , m_exposureDelay(layer.exposureDelay)
    , m_exposureWindow(layer.exposureWindow)
{
}

TImageMetadataV2::TLayerMetadata::operator kv::TLayerMetadata() const
{
    kv::TLayerMetadata layer;
    layer.width = m_width;
    layer.height = m_height;
    layer.binX = m_binX;
    layer.binY = m_binY;
    layer.eGain = m_eGain;
    layer.darkCol = m_darkCol;
    layer.exposureDuration = m_exposureDuration;
    layer.exposureDelay = m_exposureDelay;
    layer.exposureWindow = m_exposureWindow;
    return layer;
}

void TImageMetadataV2::TLayerMetadata::write(char* p) const
{
    utl::copy::to(p + 0, m_width);
    utl::copy::to(p + 4, m_height);
    utl::copy::to(p + 8, m_binX);
    utl::copy::to(p + 12, m_binY);
    utl::copy::to(p + 16, m_eGain);
    utl::copy::to(p + 20, m_darkCol);
    utl::copy::to(p + 24, m_exposureDuration);
    utl::copy::to(p + 28, m_exposureDelay);
    utl::copy::to(p + 32, m_exposureWindow);
}

void TImageMetadataV2::TLayerMetadata::read(const char* p)
{
    utl::copy::from(&m_width, p + 0);
    utl::copy::from(&m_height, p + 4);
    utl::copy::from(&m_binX, p + 8);
    utl::copy::from(&m_binY, p + 12);
    utl::copy::from(&m_eGain, p + 16);
    utl::copy::from(&m_darkCol, p + 20);
    utl::copy::from(&m_exposureDuration, p + 24);
    utl::copy::from(&m_exposureDelay, p + 28);
    utl::copy::from(&m_exposureWindow, p + 32);
}

void TImageMetadataV2::TLayerMetadata::print(std::ostream& out) const
{
    out << " Width: " << m_width
        << " | Height: " << m_height
        << " | BinX: " << m_binX
        << " | BinY: " << m_binY
        << " | EGain: " << m_eGain
        << " | DarkCol: " << m_darkCol
        << " | Exposure Duration: " << m_exposureDuration
        << " | Exposure Start Delay: " << m_exposureDelay
        << " | Exposure Window: " << m_exposureWindow;
}

// TImageMetadataV2

TImageMetadataV2::TImageMetadataV2()
    : IImageMetadata(V2)
{
}

size_t TImageMetadataV2::serialisedLayerCount() const
{
    return std::min(m_layers.size(), c_maxLayers);
}

size_t TImageMetadataV2::getSize() const
{
    return c_headerSize + TLayerMetadata::c_size * serialisedLayerCount();
}

void TImageMetadataV2::print(std::ostream& out) const
{
    out << " LayerCount: " << m_layers.size();
    for (size_t i = 0; i < m_layers.size(); ++i) {
        out << " | Layer " << i << " {{ ";
        m_layers[i].print(out);
        out << " }}";
    }
}

void TImageMetadataV2::setBuffer(const IOBufferPtr& buffer)
{
    // Without the count nothing is parsed.
    if (!buffer || buffer->length < c_headerSize)
        return;
    uint8_t count = 0;
    utl::copy::from(&count, buffer->data);
    const size_t present = (buffer->length - c_headerSize) / TLayerMetadata::c_size;
    const size_t layers = std::min<size_t>(count, present);
    m_layers.assign(layers, TLayerMetadata());
    const char* p = buffer->data + c_headerSize;
    for (size_t k = 0; k < layers; ++k, p += TLayerMetadata::c_size)
        m_layers[k].read(p);
}

IOBufferPtr TImageMetadataV2::getBuffer() const
{
    IOBufferPtr buffer = IOBuffer::newBuffer(getSize());
    const size_t layers = serialisedLayerCount();
    utl::copy::to(buffer->data + 0, static_cast<uint8_t>(layers));
    utl::copy::to(buffer->data + 1, c_parametersPerLayer);
    char* p = buffer->data + c_headerSize;
    for (size_t k = 0; k < layers; ++k, p += TLayerMetadata::c_size)
        m_layers[k].write(p);
    return buffer;
}

DownloadMetadata_t TImageMetadataV2::toDownloadMetadata() const
{
    // Accumulated in 64 bits and saturated: a record from the wire may hold any sizes.
    DownloadMetadata_t download;
    uint64_t height = 0;
    for (const TLayerMetadata& layer : m_layers) {
        download.width = saturateToInt(layer.getWidth());
        height += layer.getHeight();
        download.height = saturateToInt(height);
        download.maxPacketSize = saturateToInt(static_cast<uint64_t>(download.width) *
                                               static_cast<uint64_t>(download.height));
    }
    return download;
}

TImageMetadata TImageMetadataV2::toTImageMetadata() const
{
    TImageMetadata metadata;
    for (const TLayerMetadata& layer : m_layers) {
        metadata.width = layer.getWidth();
        metadata.height += layer.getHeight();
        metadata.binX = layer.getBinX();
        metadata.binY = layer.getBinY();
        metadata.eGain = layer.getEGain();
        metadata.exposureDuration += static_cast<float>(layer.getExposureWindow());
    }
    return metadata;
}

const TImageMetadataV2::TLayerMetadata& TImageMetadataV2::getLayer(size_t index) const
{
    if (index >= m_layers.size())
        throw std::invalid_argument("Layer index out of bounds");
    return m_layers[index];
}

void TImageMetadataV2::setLayer(size_t index, const TLayerMetadata& layer)
{
    if (index >= m_layers.size())
        throw std::invalid_argument("Layer index out of bounds");
    m_layers[index] = layer;
}

} // namespace kv
