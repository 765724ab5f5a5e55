#pragma once

#include "gateway/types.h"

#include <kvapi/kvapi.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv {

// First-generation record (16 bytes): frame size, e-gain, packet size, exposure.
class TImageMetadataV1 : public IImageMetadata {
public:
    static constexpr size_t c_size = 16;
    static constexpr size_t size() { return c_size; }

    TImageMetadataV1();
    // The whole image as one packet; width and height keep their low 16 bits.
    explicit TImageMetadataV1(const TImageMetadata& metadata);

    size_t getSize() const override;
    void print(std::ostream& out) const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    IOBufferPtr getBuffer() const override;
    DownloadMetadata_t toDownloadMetadata() const override;
    TImageMetadata toTImageMetadata() const override;

    uint16_t getFrameXSize() const { return m_frameXSize; }
    uint16_t& getFrameXSize_r() { return m_frameXSize; }
    void setFrameXSize(uint16_t size) { m_frameXSize = size; }
    uint16_t getFrameYSize() const { return m_frameYSize; }
    uint16_t& getFrameYSize_r() { return m_frameYSize; }
    void setFrameYSize(uint16_t size) { m_frameYSize = size; }
    float getEGain() const { return m_eGain; }
    float& getEGain_r() { return m_eGain; }
    void setEGain(float eGain) { m_eGain = eGain; }
    // Pixels per image packet.
    uint32_t getMaxPacketSize() const { return m_maxPacketSize; }
    uint32_t& getMaxPacketSize_r() { return m_maxPacketSize; }
    void setMaxPacketSize(uint32_t pixels) { m_maxPacketSize = pixels; }
    // Seconds.
    float getExposureDuration() const { return m_exposureDuration; }
    float& getExposureDuration_r() { return m_exposureDuration; }
    void setExposureDuration(float seconds) { m_exposureDuration = seconds; }

private:
    uint16_t m_frameXSize = 0;
    uint16_t m_frameYSize = 0;
    float m_eGain = 0.0f;
    uint32_t m_maxPacketSize = 0;
    float m_exposureDuration = 0.0f;
};

// Second-generation record: a layer count, a parameter count and 36 bytes per layer.
class TImageMetadataV2 : public IImageMetadata {
public:
    static constexpr size_t c_headerSize = 2;
    static constexpr uint8_t c_parametersPerLayer = 9;
    // The count travels in one byte.
    static constexpr size_t c_maxLayers = 255;

    class TLayerMetadata {
    public:
        static constexpr size_t c_size = 36;
        static constexpr size_t getSize() { return c_size; }

        TLayerMetadata() = default;
        TLayerMetadata(const kv::TLayerMetadata& layer);
        operator kv::TLayerMetadata() const;

        uint32_t getWidth() const { return m_width; }
        uint32_t& getWidth_r() { return m_width; }
        void setWidth(uint32_t width) { m_width = width; }
        uint32_t getHeight() const { return m_height; }
        uint32_t& getHeight_r() { return m_height; }
        void setHeight(uint32_t height) { m_height = height; }
        uint32_t getBinX() const { return m_binX; }
        uint32_t& getBinX_r() { return m_binX; }
        void setBinX(uint32_t bin) { m_binX = bin; }
        uint32_t getBinY() const { return m_binY; }
        uint32_t& getBinY_r() { return m_binY; }
        void setBinY(uint32_t bin) { m_binY = bin; }
        float getEGain() const { return m_eGain; }
        float& getEGain_r() { return m_eGain; }
        void setEGain(float eGain) { m_eGain = eGain; }
        uint32_t getDarkCol() const { return m_darkCol; }
        uint32_t& getDarkCol_r() { return m_darkCol; }
        void setDarkCol(uint32_t darkCol) { m_darkCol = darkCol; }
        float getExposureDuration() const { return m_exposureDuration; }
        float& getExposureDuration_r() { return m_exposureDuration; }
        void setExposureDuration(float duration) { m_exposureDuration = duration; }
        // Milliseconds from the exposure start time stamp to this layer's exposure.
        uint32_t getExposureDelay() const { return m_exposureDelay; }
        uint32_t& getExposureDelay_r() { return m_exposureDelay; }
        void setExposureDelay(uint32_t ms) { m_exposureDelay = ms; }
        // Milliseconds.
        uint32_t getExposureWindow() const { return m_exposureWindow; }
        uint32_t& getExposureWindow_r() { return m_exposureWindow; }
        void setExposureWindow(uint32_t ms) { m_exposureWindow = ms; }

        void write(char* p) const;
        void read(const char* p);
        void print(std::ostream& out) const;

    private:
        uint32_t m_width = 0;
        uint32_t m_height = 0;
        uint32_t m_binX = 0;
        uint32_t m_binY = 0;
        float m_eGain = 0.0f;
        uint32_t m_darkCol = 0;
        float m_exposureDuration = 0.0f;
        uint32_t m_exposureDelay = 0;
        uint32_t m_exposureWindow = 0;
    };

    using TLayerMetadataList = std::vector<TLayerMetadata>;

    TImageMetadataV2();

    // 2 + 36 bytes per layer, for at most 255 layers.
    size_t getSize() const override;
    void print(std::ostream& out) const override;
    // The layer count is byte 0 (byte 1 is ignored); a count above the complete layers
    // present yields the layers present.
    void setBuffer(const IOBufferPtr& buffer) override;
    IOBufferPtr getBuffer() const override;
    DownloadMetadata_t toDownloadMetadata() const override;
    TImageMetadata toTImageMetadata() const override;

    const TLayerMetadataList& getLayers() const { return m_layers; }
    TLayerMetadataList& getLayers_r() { return m_layers; }
    void setLayers(const TLayerMetadataList& layers) { m_layers = layers; }
    size_t getLayerCount() const { return m_layers.size(); }
    // Both throw std::invalid_argument "Layer index out of bounds" for an index at or
    // above the layer count.
    const TLayerMetadata& getLayer(size_t index) const;
    void setLayer(size_t index, const TLayerMetadata& layer);

private:
    size_t serialisedLayerCount() const;

    TLayerMetadataList m_layers;
};

} // namespace kv
