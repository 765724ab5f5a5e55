#pragma once

#include "protocol/BaseBody.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {
namespace V2 {

#pragma pack(push, 1)
// Payload of SetSubframeExt, as it travels (little-endian host).
struct TSetSubframeRequest {
    static constexpr uint16_t c_endianness = 0x1234;

    uint16_t xOffset = 0;
    uint16_t yOffset = 0;
    uint16_t xSize = 0;
    uint16_t ySize = 0;
    uint8_t xBin = 1;
    uint8_t yBin = 1;
    uint32_t MTU = 1500;                  // largest packet the host accepts, bytes
    uint16_t endianness = c_endianness;   // byte-order marker, 34 12 on the wire
};
#pragma pack(pop)

static_assert(sizeof(TSetSubframeRequest) == 16, "TSetSubframeRequest must be 16 packed bytes");
static_assert(offsetof(TSetSubframeRequest, xBin) == 8, "xBin at offset 8");
static_assert(offsetof(TSetSubframeRequest, MTU) == 10, "MTU at offset 10");
static_assert(offsetof(TSetSubframeRequest, endianness) == 14, "endianness at offset 14");

// Subframe request of the second-generation cameras: subframe, binning and the MTU the
// camera must respect when it streams the image.
class SetSubframeRequestBody : public V1::BaseBody {
public:
    static constexpr size_t c_bodyLength = sizeof(TSetSubframeRequest);

    SetSubframeRequestBody();
    explicit SetSubframeRequestBody(const uint8_t (&record)[c_bodyLength]);
    // Throws std::invalid_argument for fewer than 16 bytes, like setBuffer.
    explicit SetSubframeRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    const TSetSubframeRequest& getRecord() const { return m_request; }
    uint16_t getXOffset() const { return m_request.xOffset; }
    uint16_t getYOffset() const { return m_request.yOffset; }
    uint16_t getXSize() const { return m_request.xSize; }
    uint16_t getYSize() const { return m_request.ySize; }
    uint8_t getBinX() const { return m_request.xBin; }
    uint8_t getBinY() const { return m_request.yBin; }
    uint32_t getMTU() const { return m_request.MTU; }
    uint16_t getEndianness() const { return m_request.endianness; }

    void setXOffset(uint16_t offset) { m_request.xOffset = offset; }
    void setYOffset(uint16_t offset) { m_request.yOffset = offset; }
    void setXSize(uint16_t size) { m_request.xSize = size; }
    void setYSize(uint16_t size) { m_request.ySize = size; }
    void setBinX(uint8_t bin) { m_request.xBin = bin; }
    void setBinY(uint8_t bin) { m_request.yBin = bin; }
    void setMTU(uint32_t mtu) { m_request.MTU = mtu; }

private:
    void readRecord(const char* p);

    TSetSubframeRequest m_request;
};

} // namespace V2
} // namespace kv
