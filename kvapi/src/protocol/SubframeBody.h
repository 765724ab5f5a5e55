#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Offsets, size and binning of a subframe, in unbinned pixels: the layout shared by the
// SetSubframe request and the GetSubframe answer.
class SubframeBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 10;

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint16_t getXOffset() const { return m_xOffset; }
    uint16_t getYOffset() const { return m_yOffset; }
    uint16_t getXSize() const { return m_xSize; }
    uint16_t getYSize() const { return m_ySize; }
    uint8_t getBinX() const { return m_xBin; }
    uint8_t getBinY() const { return m_yBin; }
    void setXOffset(uint16_t offset) { m_xOffset = offset; }
    void setYOffset(uint16_t offset) { m_yOffset = offset; }
    void setXSize(uint16_t size) { m_xSize = size; }
    void setYSize(uint16_t size) { m_ySize = size; }
    void setBinX(uint8_t bin) { m_xBin = bin; }
    void setBinY(uint8_t bin) { m_yBin = bin; }

protected:
    // dataLabel is "Request Data" or "Response Data"; it must outlive the body.
    SubframeBody(BodyType bodyType, const char* dataLabel);

private:
    const char* m_dataLabel;
    uint16_t m_xOffset = 0;
    uint16_t m_yOffset = 0;
    uint16_t m_xSize = 0;
    uint16_t m_ySize = 0;
    uint8_t m_xBin = 0;
    uint8_t m_yBin = 0;
};

} // namespace V1
} // namespace kv
