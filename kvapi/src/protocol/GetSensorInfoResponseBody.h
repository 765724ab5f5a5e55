#pragma once

#include "protocol/BaseBody.h"

#include <kvapi/kvapi.h>

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Answer to GetSensorInfo: the sensor's geometry, colour filter, cooler range and limits.
class GetSensorInfoResponseBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 30;

    GetSensorInfoResponseBody();
    explicit GetSensorInfoResponseBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    // The camera's own code; the sensor translates it by camera model.
    uint8_t getSensorModel() const { return m_sensorModel; }
    uint16_t getPixelsX() const { return m_pixelsX; }
    uint16_t getPixelsY() const { return m_pixelsY; }
    uint8_t getReadoutChannelCount() const { return m_readoutChannelCount; }
    EFilterType getFilterType() const { return static_cast<EFilterType>(m_filterType); }
    EFrameType getFrameType() const { return static_cast<EFrameType>(m_frameType); }
    float getPixelSizeX() const { return m_pixelSizeX; }
    float getPixelSizeY() const { return m_pixelSizeY; }
    bool getHasRbiPreflash() const { return m_hasRbiPreflash != 0; }
    uint8_t getReserved() const { return m_reserved; }
    int8_t getCoolerSetpointMin() const { return m_coolerSetpointMin; }
    int8_t getCoolerSetpointMax() const { return m_coolerSetpointMax; }
    uint8_t getMaxBinX() const { return m_maxBinX; }
    uint8_t getMaxBinY() const { return m_maxBinY; }
    float getMinExposureDuration() const { return m_minExposureDuration; }
    float getExposurePrecision() const { return m_exposurePrecision; }

    void setSensorModel(uint8_t model) { m_sensorModel = model; }
    void setPixelsX(uint16_t pixels) { m_pixelsX = pixels; }
    void setPixelsY(uint16_t pixels) { m_pixelsY = pixels; }
    void setReadoutChannelCount(uint8_t count) { m_readoutChannelCount = count; }
    void setFilterType(EFilterType filterType) { m_filterType = static_cast<uint8_t>(filterType); }
    void setFrameType(EFrameType frameType) { m_frameType = static_cast<uint8_t>(frameType); }
    void setPixelSizeX(float size) { m_pixelSizeX = size; }
    void setPixelSizeY(float size) { m_pixelSizeY = size; }
    void setHasRbiPreflash(bool hasRbi) { m_hasRbiPreflash = hasRbi ? 1 : 0; }
    void setReserved(uint8_t reserved) { m_reserved = reserved; }
    void setCoolerSetpointMin(int8_t celsius) { m_coolerSetpointMin = celsius; }
    void setCoolerSetpointMax(int8_t celsius) { m_coolerSetpointMax = celsius; }
    void setMaxBinX(uint8_t bin) { m_maxBinX = bin; }
    void setMaxBinY(uint8_t bin) { m_maxBinY = bin; }
    void setMinExposureDuration(float seconds) { m_minExposureDuration = seconds; }
    void setExposurePrecision(float seconds) { m_exposurePrecision = seconds; }

private:
    uint8_t m_sensorModel = 0;
    uint16_t m_pixelsX = 0;
    uint16_t m_pixelsY = 0;
    uint8_t m_readoutChannelCount = 0;
    uint8_t m_filterType = 0;
    uint8_t m_frameType = 0;
    float m_pixelSizeX = 0.0f;
    float m_pixelSizeY = 0.0f;
    uint8_t m_hasRbiPreflash = 0;
    uint8_t m_reserved = 0;
    int8_t m_coolerSetpointMin = 0;
    int8_t m_coolerSetpointMax = 0;
    uint8_t m_maxBinX = 0;
    uint8_t m_maxBinY = 0;
    // On the wire the precision comes first.
    float m_minExposureDuration = 0.0f;
    float m_exposurePrecision = 0.0f;
};

} // namespace V1
} // namespace kv
