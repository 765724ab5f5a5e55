#pragma once

#include "protocol/BaseBody.h"

#include <cstdint>
#include <string>

namespace kv {
namespace V1 {

// Moves the adaptive-optics element to a position on its tip and tilt axes.
class AOGotoRequestBody : public BaseBody {
public:
    static constexpr size_t c_bodyLength = 4;

    AOGotoRequestBody();
    explicit AOGotoRequestBody(IOBufferPtr buffer);

    IOBufferPtr getBuffer() const override;
    void setBuffer(const IOBufferPtr& buffer) override;
    size_t getBufferLength() const override;
    std::string getMessageDataString() const override;

    uint16_t getTip() const { return m_tip; }
    uint16_t getTilt() const { return m_tilt; }
    void setTip(uint16_t tip) { m_tip = tip; }
    void setTilt(uint16_t tilt) { m_tilt = tilt; }

private:
    uint16_t m_tip = 0;
    uint16_t m_tilt = 0;
};

} // namespace V1
} // namespace kv
